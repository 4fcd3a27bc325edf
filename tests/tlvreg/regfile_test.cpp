#include "tools/tlvreg/regfile_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

RegFileError ParseError(const std::string& text) {
    std::vector<RegFileKey> keys;
    RegFileError error;
    EXPECT_FALSE(ParseRegFile(text, keys, error)) << text;
    return error;
}

}  // namespace

TEST(RegFileReader, ReadsWhatOtherMachinesWrite) {
    const std::string text =
        "REGEDIT4\r\n"
        "\r\n"
        "; exported elsewhere\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Administration]\r\n"
        "\"Default_Server\"=\"tcp:localhost:2020\"\r\n"
        "@=\"say \\\"hi\\\" \\\\ there\"\r\n"
        "\"Count\"=dword:0000000A\r\n"
        "\"Blob\"=hex:01,02,\\\r\n"
        "  03\r\n"
        "\"Multi\"=hex(7):61,00,00\r\n"
        "[hkey_local_machine]\n";
    std::vector<RegFileKey> keys;
    RegFileError error;
    ASSERT_TRUE(ParseRegFile(text, keys, error)) << error.line << ": " << error.what;
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].path, "SOFTWARE\\Kestrova\\TLVS Client\\Servers\\KSTV_Administration");
    EXPECT_EQ(keys[0].line, 4);
    EXPECT_EQ(keys[1].path, "");
    const std::vector<RegFileValue>& values = keys[0].values;
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[0].name, "Default_Server");
    EXPECT_EQ(values[0].type, REG_SZ);
    EXPECT_EQ(values[0].data, std::string("tcp:localhost:2020\0", 19));
    EXPECT_EQ(values[1].name, "");
    EXPECT_EQ(values[1].data, std::string("say \"hi\" \\ there\0", 17));
    EXPECT_EQ(values[2].type, REG_DWORD);
    DWORD count = 0;
    std::memcpy(&count, values[2].data.data(), sizeof count);
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(values[3].type, REG_BINARY);
    EXPECT_EQ(values[3].data, "\x01\x02\x03");
    EXPECT_EQ(values[4].type, REG_MULTI_SZ);
    EXPECT_EQ(values[4].data, std::string("a\0\0", 3));
    EXPECT_EQ(values[4].line, 10);
}

TEST(RegFileReader, NamesTheFirstMalformedLine) {
    using namespace std::string_literals;
    const std::string head = "REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n";
    const std::vector<std::pair<std::string, RegFileError>> cases = {
        {"", {1, "the first line must be REGEDIT4"}},
        {"REGEDIT4\n\"early\"=\"x\"\n", {2, "a value before the first [key] line"}},
        {head + "\"n\"=\"unclosed\n", {4, "a quoted text is not closed"}},
        {head + "\"n\"=\n", {4, "expected \"text\", dword:, hex: or hex(N): after '='"}},
        {head + "\"n\"=\"a\\tb\"\n", {4, "only \\\" and \\\\ may follow a backslash in quotes"}},
        {head + "\"n\"=\"a\" tail\n", {4, "unexpected text after the closing quote"}},
        {head + "\"n\"=-\n", {4, "deleting values is not supported"}},
        {head + "[-HKEY_LOCAL_MACHINE\\SOFTWARE]\n", {4, "deleting keys is not supported"}},
        {head + "[HKEY_CURRENT_USER\\Software]\n", {4, "the key is not below HKEY_LOCAL_MACHINE"}},
        {head + "[HKEY_LOCAL_MACHINE\\A\\\\B]\n",
         {4, "invalid key path: empty or over-long key name"}},
        {head + "\"n\"=hex:01,\n", {4, "the hex list ends with a comma"}},
        {head + "\"n\"=hex:1ff\n",
         {4, "hex data must be bytes of two hex digits, comma-separated"}},
        {head + "\"n\"=hex:01,\\\n", {4, "the hex list continues past the end of the file"}},
        {head + "\"n\"=hex(zz):01\n", {4, "hex(N): needs a type number N in hex"}},
        {head + "\"n\"=dword:123456789\n", {4, "dword: needs 1 to 8 hex digits"}},
        {head + "\"n\" \"x\"\n", {4, "expected '=' after the value name"}},
        {head + "\"n\"=text\n", {4, "expected \"text\", dword:, hex: or hex(N): after '='"}},
        {head + "garbage\n", {4, "expected a [key] or a \"name\"=value line"}},
        // A NUL would land the import under a cut-short key or name and still report success.
        {head + "[HKEY_LOCAL_MACHINE\\SOFTWARE\\A\0B]\n"s,
         {4, "a key name may not contain a NUL byte"}},
        {head + "\"a\0b\"=\"x\"\n"s, {4, "a value name may not contain a NUL byte"}},
    };
    for (const auto& [text, expected] : cases) {
        const RegFileError error = ParseError(text);
        EXPECT_EQ(error.line, expected.line) << text;
        EXPECT_EQ(error.what, expected.what) << text;
    }
}
