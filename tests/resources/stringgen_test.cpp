// The generator refuses a broken table with the line at fault, and decodes escapes exactly.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

namespace {

struct GeneratorRun {
    int exitCode = -1;
    QString errors;
    QByteArray header;
    QByteArray source;
};

GeneratorRun RunGenerator(const QByteArray& table) {
    GeneratorRun run;
    QTemporaryDir dir;
    if (!dir.isValid())
        return run;
    QFile file(dir.filePath("strings.tsv"));
    if (!file.open(QIODevice::WriteOnly) || file.write(table) != table.size())
        return run;
    file.close();

    QProcess process;
    process.start(TLV_STRINGGEN,
                  {file.fileName(), dir.filePath("ids.h"), dir.filePath("data.cpp")});
    if (!process.waitForFinished(10000))
        return run;
    run.exitCode = process.exitCode();
    run.errors = QString::fromUtf8(process.readAllStandardError());
    QFile header(dir.filePath("ids.h"));
    if (header.open(QIODevice::ReadOnly))
        run.header = header.readAll();
    QFile source(dir.filePath("data.cpp"));
    if (source.open(QIODevice::ReadOnly))
        run.source = source.readAll();
    return run;
}

TEST(StringGenerator, WritesIdsAndEscapedTextsSortedById) {
    const GeneratorRun run = RunGenerator(
        "# comment\n"
        "\n"
        "200\tIDS_SECOND\tsay \"hi\"\\tthen\\n C:\\\\x\\x20\n"
        "100\tIDS_FIRST\t two  blanks\n");
    ASSERT_EQ(run.exitCode, 0) << run.errors.toStdString();
    EXPECT_TRUE(run.header.contains("IDS_FIRST = 100,\n    IDS_SECOND = 200,"));
    EXPECT_TRUE(
        run.source.contains("{100, \" two  blanks\"},\n    {200, \"say \\\"hi\\\"\\011then"
                            "\\012 C:\\\\x \"},"))
        << run.source.toStdString();
}

TEST(StringGenerator, RefusesBrokenTablesNamingTheLine) {
    struct Case {
        const char* table;
        const char* error;
    };
    const Case cases[] = {
        {"1\tIDS_A\tx\n1\tIDS_B\ty\n", ":2: duplicate id 1"},
        {"1\tIDS_A\tx\n2\tIDS_A\ty\n", ":2: duplicate name IDS_A"},
        {"1\tIDS_A\t\n", ":1: empty text"},
        {"1\tIDS_A\tends in a blank \n", ":1: line ends in a blank"},
        {"1\tIDS_A\traw\ttab\n", ":1: raw tab"},
        {"1\tIDS_A\tbad \\q escape\n", ":1: unknown escape \\q"},
        {"1\tIDS_A\tbad \\x4 hex\n", ":1: \\x needs two hex digits"},
        {"1\tIDS_A\tlone \\\n", ":1: text ends in a lone backslash"},
        {"0\tIDS_A\tzero\n", ":1: id must be a number"},
        {"70000\tIDS_A\ttoo big\n", ":1: id must be a number"},
        {"12a\tIDS_A\tnot a number\n", ":1: id must be a number"},
        {"1\tids_lower\tx\n", ":1: name must look like"},
        {"1 IDS_A x\n", ":1: expected id<TAB>name<TAB>text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table);
        const GeneratorRun run = RunGenerator(c.table);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_TRUE(run.errors.contains(QString::fromLatin1(c.error))) << run.errors.toStdString();
        EXPECT_TRUE(run.header.isEmpty());
    }
}

}  // namespace
