// The download exchange fed random replies and timer expiries. Whatever the
// instrument sends, the exchange must never wait for a reply without a
// running response timer, and must never write outside the save folder.

#include "kivaro/core/downloadsession.h"

#include <cstdint>
#include <cstdlib>

namespace {

class Host : public kivaro::LinkHost {
public:
    bool write(const QByteArray &) override { return true; }
    void startTimer(int) override { timer = true; }
    void stopTimer() override { timer = false; }
    void closePort() override { open = false; }
    void pause(int) override {}
    bool timer = false;
    bool open = true;
};

class Sink : public kivaro::FolderSink {
public:
    bool makeFolder(const QString &folder) override
    {
        check(folder);
        return true;
    }
    bool writeFile(const QString &path, const QByteArray &) override
    {
        check(path);
        return true;
    }
    static void check(const QString &path)
    {
        // Only "<project>" or "<project>/<file>" below the save folder, and
        // no part that is dots alone (which would lead out of the folder).
        QString rest = path.mid(6); // after "/save/"
        if (rest.endsWith(u'/'))
            rest.chop(1); // a folder is named with its closing separator
        if (!path.startsWith(QLatin1String("/save/")) || rest.count(u'/') > 1 || rest.contains(u'\\')
            || rest.contains(u':'))
            std::abort();
        for (const QString &part : rest.split(u'/')) {
            const QString t = part.trimmed();
            if (t.isEmpty() || t.count(u'.') == t.size())
                std::abort();
        }
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    Host host;
    Sink sink;
    common::RecordingMessenger messenger;
    kivaro::DownloadSession session(host, sink, messenger);
    std::size_t at = 0;
    while (at < size) {
        const std::uint8_t op = data[at++];
        switch (op % 8) {
        case 0: session.timeout(); break;
        case 1:
            if (!session.awaitingReply()) {
                host.open = true;
                session.startConnect();
            }
            break;
        case 2: {
            QList<int> all;
            for (int i = 0; i < session.projectNames().size(); ++i)
                all.append(i);
            if (session.startEnabled()) {
                host.open = true;
                session.startTransfer(all, QStringLiteral("/save/"));
            }
            break;
        }
        default: {
            // A piece of reply: its length comes from the op byte.
            const std::size_t length = std::min<std::size_t>(op / 8 + 1, size - at);
            session.receive(QByteArray(reinterpret_cast<const char *>(data + at), qsizetype(length)));
            at += length;
            break;
        }
        }
        if (session.awaitingReply() && !host.timer)
            std::abort(); // waiting without a time-out
        if (session.awaitingReply() && !host.open)
            std::abort();
    }
    return 0;
}
