// The command-line framework: what is parsed, what is refused with which
// exit status, and how the help is laid out.

#include "common/cli/program.h"

#include <gtest/gtest.h>

namespace {

using cli::Args;
using cli::Command;
using cli::Failure;

Command pickCommand()
{
    Command c;
    c.name = QStringLiteral("pick");
    c.synopsis = QStringLiteral("pick FILE --point K [--depth M] [--json]");
    c.summary = QStringLiteral("拾取");
    c.options = {{QStringLiteral("point"), QStringLiteral("K"), QStringLiteral("测点序号")},
                 {QStringLiteral("depth"), QStringLiteral("M"), QStringLiteral("深度，单位 m；默认 0\n第二行")},
                 {QStringLiteral("json"), QString(), QStringLiteral("以 JSON 输出")}};
    c.minWords = 1;
    c.maxWords = 1;
    c.words = {{QStringLiteral("FILE"), QStringLiteral("测试文件")}};
    c.run = [](const Args &) { return 0; };
    return c;
}

// The usage Failure the command line raises, or an empty text when it parses.
QString refusal(const Command &c, const QStringList &tokens)
{
    try {
        Args args(c, tokens);
    } catch (const Failure &f) {
        EXPECT_EQ(f.exitCode, cli::kExitUsage) << tokens.join(u' ').toStdString();
        return QString::fromStdString(f.what());
    }
    return QString();
}

} // namespace

TEST(CliArgs, BothValueFormsNegativeNumbersAndNativeBytes)
{
    const Command c = pickCommand();
    const Args a(c,
                 {QStringLiteral("f.qsw"), QStringLiteral("--point=3"), QStringLiteral("--depth"),
                  QStringLiteral("-2.5"), QStringLiteral("--json")});
    EXPECT_EQ(a.words(), QStringList{QStringLiteral("f.qsw")});
    EXPECT_EQ(a.integer(QStringLiteral("point")), 3);
    EXPECT_FLOAT_EQ(*a.number(QStringLiteral("depth")), -2.5f);
    EXPECT_TRUE(a.flag(QStringLiteral("json")));
    EXPECT_FALSE(a.helpRequested());

    // A negative number is a word too, not an unknown option.
    EXPECT_EQ(Args(c, {QStringLiteral("-7")}).word(0, QStringLiteral("FILE")), QStringLiteral("-7"));

    // Words and values keep the bytes the system gave (a GBK file name), whatever their display text.
    const QByteArray gbkName("\xb2\xe2.qsw");
    const QByteArray gbkValue("\xc9\xee");
    const Args n(c, {QStringLiteral("?.qsw"), QStringLiteral("--point=?")},
                 {gbkName, QByteArray("--point=") + gbkValue});
    EXPECT_EQ(n.nativeWord(0, QStringLiteral("FILE")), gbkName);
    EXPECT_EQ(n.nativeValue(QStringLiteral("point")), gbkValue);
    const Args s(c, {QStringLiteral("?.qsw"), QStringLiteral("--point"), QStringLiteral("?")},
                 {gbkName, QByteArray("--point"), gbkValue});
    EXPECT_EQ(s.nativeValue(QStringLiteral("point")), gbkValue);
    // After "--" everything is a word.
    Command two = c;
    two.maxWords = 2;
    EXPECT_EQ(Args(two, {QStringLiteral("--"), QStringLiteral("--json"), QStringLiteral("x")}).wordCount(), 2);
}

TEST(CliArgs, WrongCommandLinesAreRefusedNamingTheFault)
{
    const Command c = pickCommand();
    EXPECT_TRUE(refusal(c, {QStringLiteral("f"), QStringLiteral("--bogus")}).contains(QStringLiteral("--bogus")));
    EXPECT_TRUE(refusal(c, {QStringLiteral("f"), QStringLiteral("-x")}).contains(QStringLiteral("-x")));
    const QString repeated = refusal(
        c, {QStringLiteral("f"), QStringLiteral("--point=1"), QStringLiteral("--point"), QStringLiteral("1")});
    EXPECT_TRUE(repeated.contains(QStringLiteral("--point")) && repeated.contains(QStringLiteral("只能给一次")))
        << repeated.toStdString();
    EXPECT_TRUE(refusal(c, {QStringLiteral("f"), QStringLiteral("--json"), QStringLiteral("--json")})
                    .contains(QStringLiteral("--json")));
    EXPECT_TRUE(refusal(c, {QStringLiteral("f"), QStringLiteral("extra")}).contains(QStringLiteral("extra")));
    EXPECT_TRUE(refusal(c, {}).contains(QStringLiteral("FILE")));
    EXPECT_TRUE(refusal(c, {QStringLiteral("f"), QStringLiteral("--point")}).contains(QStringLiteral("缺少取值")));
    // A flag does not take a value.
    EXPECT_FALSE(refusal(c, {QStringLiteral("f"), QStringLiteral("--json=yes")}).isEmpty());

    // Values are read in full and checked against their stated range.
    const Args a(c, {QStringLiteral("f"), QStringLiteral("--point=12x"), QStringLiteral("--depth=inf")});
    EXPECT_THROW(a.integer(QStringLiteral("point")), Failure);
    EXPECT_THROW(a.number(QStringLiteral("depth")), Failure);
    EXPECT_THROW(cli::parseIntegerIn(QStringLiteral("5"), QStringLiteral("--k"), 1, 4), Failure);
    EXPECT_EQ(cli::parseIntegerIn(QStringLiteral("4"), QStringLiteral("--k"), 1, 4), 4);
    EXPECT_THROW(cli::parseNumber(QString(), QStringLiteral("--k")), Failure);
    EXPECT_THROW(a.choice(QStringLiteral("point"), {QStringLiteral("1")}), Failure);
    EXPECT_THROW(Args(c, {QStringLiteral("f")}).requiredInteger(QStringLiteral("point")), Failure);
}

TEST(CliProgram, ExitStatusOfEveryOutcome)
{
    Command ok = pickCommand();
    ok.name = QStringLiteral("ok");
    Command refuses = pickCommand();
    refuses.name = QStringLiteral("refuses");
    refuses.run = [](const Args &) -> int { throw Failure(QStringLiteral("不能写出")); };
    Command usage = pickCommand();
    usage.name = QStringLiteral("usage");
    usage.run = [](const Args &) -> int { throw Failure(QStringLiteral("--depth 太大"), cli::kExitUsage); };
    Command own = pickCommand();
    own.name = QStringLiteral("own");
    own.options.push_back({QStringLiteral("version"), QStringLiteral("V"), QStringLiteral("程序版本")});
    own.run = [](const Args &a) { return a.text(QStringLiteral("version")) == QStringLiteral("7") ? 3 : 4; };
    const cli::Program program(QStringLiteral("prog"), QStringLiteral("1.0"), {ok, refuses, usage, own});

    const struct {
        QStringList arguments;
        int status;
    } runs[] = {
        {{QStringLiteral("ok"), QStringLiteral("f")}, 0},
        {{QStringLiteral("ok"), QStringLiteral("--help")}, 0},
        {{QStringLiteral("ok"), QStringLiteral("--version")}, 0},
        {{QStringLiteral("--version")}, 0},
        {{QStringLiteral("help")}, 0},
        {{QStringLiteral("refuses"), QStringLiteral("f")}, 1},
        {{QStringLiteral("usage"), QStringLiteral("f")}, 2},
        {{QStringLiteral("ok")}, 2},
        {{}, 2},
        {{QStringLiteral("nonsense")}, 2},
        {{QStringLiteral("--version"), QStringLiteral("x")}, 2},
        {{QStringLiteral("--help"), QStringLiteral("x")}, 2},
        // A command's own --version is its value, not the program's version.
        {{QStringLiteral("own"), QStringLiteral("f"), QStringLiteral("--version=7")}, 3},
        {{QStringLiteral("own"), QStringLiteral("f"), QStringLiteral("--version")}, 2},
    };
    for (const auto &r : runs)
        EXPECT_EQ(program.run(r.arguments), r.status) << r.arguments.join(u' ').toStdString();

    // A single-command program takes its options right after its name.
    Command only = pickCommand();
    only.name.clear();
    const cli::Program tool(QStringLiteral("tool"), QStringLiteral("1.0"), {only});
    EXPECT_TRUE(tool.isSingleCommand());
    EXPECT_EQ(tool.run({QStringLiteral("f"), QStringLiteral("--point=2")}), 0);
    EXPECT_EQ(tool.run({QStringLiteral("--version")}), 0);
    EXPECT_EQ(tool.run({QStringLiteral("f"), QStringLiteral("g")}), 2);
}

TEST(CliProgram, GuiIsStartedOnlyForTheCommandsThatDraw)
{
    Command draw = pickCommand();
    draw.name = QStringLiteral("render");
    draw.needsGui = true;
    const cli::Program program(QStringLiteral("prog"), QStringLiteral("1.0"), {pickCommand(), draw});
    const char *render[] = {"prog", "render", "f"};
    const char *pick[] = {"prog", "pick", "f"};
    const char *none[] = {"prog"};
    const char *help[] = {"prog", "--help"};
    EXPECT_TRUE(program.needsGui(3, render));
    EXPECT_FALSE(program.needsGui(3, pick));
    EXPECT_FALSE(program.needsGui(1, none));
    EXPECT_FALSE(program.needsGui(2, help));
}

TEST(CliProgram, HelpListsEveryOptionInOneColumnWithItsPunctuation)
{
    const Command c = pickCommand();
    const cli::Program full(QStringLiteral("prog"), QStringLiteral("1.0"), {c});
    const QString help = full.helpText(c);
    EXPECT_TRUE(help.startsWith(QStringLiteral("用法：prog pick FILE --point K"))) << help.toStdString();
    // The meanings start in one column, a second line of a meaning under its first.
    const QStringList lines = help.split(u'\n');
    const auto row = [&](const QString &text) {
        for (const QString &line : lines) {
            if (line.contains(text))
                return line;
        }
        return QString();
    };
    const qsizetype column = row(QStringLiteral("测点序号")).indexOf(QStringLiteral("测点序号"));
    EXPECT_GT(column, QStringLiteral("  -h, --help").size());
    for (const QString &meaning : {QStringLiteral("深度"), QStringLiteral("第二行"), QStringLiteral("以 JSON"),
                                   QStringLiteral("显示本帮助"), QStringLiteral("显示程序版本")})
        EXPECT_EQ(row(meaning).indexOf(meaning), column) << meaning.toStdString() << "\n" << help.toStdString();
    for (const QString &label : {QStringLiteral("  FILE"), QStringLiteral("  --point K"), QStringLiteral("  --json"),
                                 QStringLiteral("  -h, --help"), QStringLiteral("  --version")})
        EXPECT_EQ(help.count(u'\n' + label), 1) << label.toStdString();
    EXPECT_TRUE(help.contains(QStringLiteral("\n选项：\n")));
    EXPECT_TRUE(help.contains(QStringLiteral("\n参数：\n")));

    const cli::Program ascii(QStringLiteral("prog"), QStringLiteral("1.0"), {c}, cli::Program::Punctuation::Ascii);
    const QString asciiHelp = ascii.helpText(c);
    EXPECT_EQ(asciiHelp.count(QStringLiteral("用法:")), 1);
    for (const QString &fullWidth :
         {QStringLiteral("用法："), QStringLiteral("参数："), QStringLiteral("选项："), QStringLiteral("退出状态：")})
        EXPECT_FALSE(asciiHelp.contains(fullWidth)) << asciiHelp.toStdString();
    EXPECT_TRUE(asciiHelp.contains(QStringLiteral("退出状态: 0 完成, 1 操作被拒绝或失败, 2 命令行有误。")));

    // The program's list names every command with its summary.
    Command other = pickCommand();
    other.name = QStringLiteral("make-update");
    other.summary = QStringLiteral("生成升级文件");
    const QString overview = cli::Program(QStringLiteral("prog"), QStringLiteral("1.0"), {c, other}).overview();
    EXPECT_TRUE(overview.contains(QStringLiteral("\n  pick         拾取\n"))) << overview.toStdString();
    EXPECT_TRUE(overview.contains(QStringLiteral("\n  make-update  生成升级文件\n")));
}
