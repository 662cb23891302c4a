#pragma once
// Pictures of the programs' real windows and dialogs for their user manuals,
// drawn offscreen at build time so that the manuals never show an old
// window. Each program's screenshot tool drives its own window with these.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QApplication;
class QWidget;

namespace common {

// Saves `widget` as drawn now to `path` (PNG). Returns an error text, empty
// when the picture was written.
QString saveScreenshot(QWidget &widget, const QString &path);

// Runs `open`, which shows a modal dialog and returns when it is closed;
// saves the first modal dialog that appears (other than `under`, the modal
// window it opens over, if any) to `path` once `prepare` (may be empty) has
// set it up, then closes it with Cancel, or with OK when `accept` is set.
// Returns an error text, empty when the picture was written; no dialog
// within five seconds is an error.
QString screenshotModal(const std::function<void()> &open, const QString &path,
                        const std::function<void(QWidget &)> &prepare = {}, bool accept = false,
                        QWidget *under = nullptr);

// What every screenshot tool starts and ends with. The constructor puts Qt
// on the offscreen platform unless one is set, makes the application (named
// `name`, Qt's own buttons in Chinese as in the programs), checks that the
// command line holds `words` words with the output folder last (`usage`
// names them) and makes that folder. The pictures are then named with
// picture(), every failure is noted, and finish() prints the notes.
class ScreenshotRun {
public:
    ScreenshotRun(int &argc, char **argv, const QString &name, int words, const char *usage);
    ~ScreenshotRun();
    ScreenshotRun(const ScreenshotRun &) = delete;
    ScreenshotRun &operator=(const ScreenshotRun &) = delete;

    // 0 when the run can go on, else the exit status to end it with (2: a
    // wrong command line, 1: the folder cannot be made); the reason has
    // been printed.
    int failed() const { return m_failed; }
    // The words after the program's name.
    const QStringList &words() const { return m_words; }
    QApplication &application() { return *m_app; }
    // OUTDIR/<name>.png, the folder made absolute at the start.
    QString picture(const char *name) const;
    // Keeps a failure (an empty text is none).
    void note(const QString &error);
    // Prints the failures noted; 0 when there was none, else 1.
    int finish() const;

private:
    std::unique_ptr<QApplication> m_app;
    QString m_name;
    QStringList m_words;
    QString m_out;
    QStringList m_errors;
    int m_failed = 0;
};

} // namespace common
