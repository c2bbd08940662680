#include "platform/lab/RegFile.h"
#include "platform/lab/LabError.h"

#include <gtest/gtest.h>

#include <string>

using lab::ParseRegFile;
using lab::RegHive;
using lab::RegKey;
using lab::WriteRegFile;

namespace {

std::unique_ptr<RegHive> Parse(const std::string& text,
                               const std::string& root = "HKEY_LOCAL_MACHINE") {
    return ParseRegFile(text, "HKLM.reg", root);
}

const lab::RegValue* ValueAt(RegHive& hive, const std::string& key, const std::string& name) {
    RegKey* k = RegHive::FindPath(hive.Root(), key);
    return k == nullptr ? nullptr : k->FindValue(name);
}

} // namespace

TEST(RegFile, RoundTripKeepsTypesBytesAndKeyOrder) {
    RegHive hive("HKEY_CURRENT_USER");
    RegKey* app = hive.CreatePath(hive.Root(), "Software\\Tarvel Quillmark 1.0");
    app->SetValue("", 1, std::string("default\0", 8));
    app->SetValue("Quoted \"name\"", 1, std::string("C:\\Path \"x\"\0", 12));
    app->SetValue("Empty", 1, std::string("\0", 1));
    app->SetValue("NoTerminator", 1, "abc");
    app->SetValue("TwoLines", 1, std::string("a\r\nb\0", 5));
    app->SetValue("Expand", 2, std::string("%SystemRoot%\\x\0", 15));
    app->SetValue("Number", 4, std::string("\x05\x00\x00\x80", 4));
    app->SetValue("ShortDword", 4, std::string("\x01", 1));
    app->SetValue("Multi", 7, std::string("a\0bb\0\0", 6));
    app->SetValue("Wide", 11, std::string(8, '\x7f'));
    std::string blob;
    for (int i = 0; i < 300; ++i) {
        blob.push_back(static_cast<char>(i));
    }
    app->SetValue("Blob", 3, blob);
    hive.CreatePath(app, "Zeta");
    hive.CreatePath(app, "alpha");
    hive.CreatePath(app, "Settings");

    std::string text = WriteRegFile(hive);
    EXPECT_EQ(0u, text.find("REGEDIT4\r\n\r\n"));
    auto back = ParseRegFile(text, "HKCU.reg", "HKEY_CURRENT_USER");
    RegKey* again = RegHive::FindPath(back->Root(), "software\\TARVEL QUILLMARK 1.0");
    ASSERT_NE(nullptr, again);
    ASSERT_EQ(app->Values().size(), again->Values().size());
    for (std::size_t i = 0; i < app->Values().size(); ++i) {
        SCOPED_TRACE(app->Values()[i].name);
        EXPECT_EQ(app->Values()[i].name, again->Values()[i].name);
        EXPECT_EQ(app->Values()[i].type, again->Values()[i].type);
        EXPECT_EQ(app->Values()[i].data, again->Values()[i].data);
    }
    ASSERT_EQ(3u, again->Children().size());
    EXPECT_EQ("Zeta", again->Children()[0]->Name());
    EXPECT_EQ("alpha", again->Children()[1]->Name());
    EXPECT_EQ("Settings", again->Children()[2]->Name());
    EXPECT_EQ(text, WriteRegFile(*back));
}

TEST(RegFile, ReadsCommentsContinuationsAndLooseSpacing) {
    auto hive = Parse("REGEDIT4\r\n"
                      "; exported by hand\r\n"
                      "\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test]\r\n"
                      "\"Bin\"=hex:01,02,\\\r\n"
                      "  03,04\r\n"
                      "\"Hex2\" = hex(2):25,00\r\n"
                      "@=\"root value\"\r\n"
                      "\"Back\\\\slash\"=dword:0000001f\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Test\\Sub]\n"
                      "\"LF only\"=\"yes\"\n");
    EXPECT_EQ(std::string("\x01\x02\x03\x04", 4), ValueAt(*hive, "SOFTWARE\\Test", "bin")->data);
    EXPECT_EQ(2u, ValueAt(*hive, "SOFTWARE\\Test", "Hex2")->type);
    EXPECT_EQ(std::string("root value\0", 11), ValueAt(*hive, "software\\test", "")->data);
    EXPECT_EQ(std::string("\x1f\0\0\0", 4), ValueAt(*hive, "SOFTWARE\\Test", "Back\\slash")->data);
    EXPECT_NE(nullptr, ValueAt(*hive, "SOFTWARE\\Test\\Sub", "LF only"));
}

TEST(RegFile, ReadsVersion5AsRegeditWritesIt) {
    std::string body = "Windows Registry Editor Version 5.00\r\n\r\n"
                       "[HKEY_USERS\\S-1-5-21-1-2-3-1001\\Env]\r\n"
                       "\"Caf\xc3\xa9\"=\"na\xc3\xafve\"\r\n"
                       "\"Path\"=hex(2):25,00,55,00,25,00,00,00\r\n";
    // UTF-16LE with a byte-order mark, as regedit writes it.
    std::string utf16 = "\xff\xfe";
    std::string latin = "Windows Registry Editor Version 5.00\r\n\r\n"
                        "[HKEY_USERS\\S-1-5-21-1-2-3-1001\\Env]\r\n"
                        "\"Caf\xe9\"=\"na\xefve\"\r\n"
                        "\"Path\"=hex(2):25,00,55,00,25,00,00,00\r\n";
    for (char c : latin) {
        utf16.push_back(c);
        utf16.push_back('\0');
    }
    for (const std::string& bytes : {utf16, body}) {
        auto hive = ParseRegFile(bytes, "HKU.reg", "HKEY_USERS");
        const lab::RegValue* text = ValueAt(*hive, "S-1-5-21-1-2-3-1001\\Env", "Caf\xe9");
        ASSERT_NE(nullptr, text);
        EXPECT_EQ(std::string("na\xefve\0", 6), text->data);
        // hex(2) data of a version 5 file is UTF-16LE: kept as ANSI text.
        EXPECT_EQ(std::string("%U%\0", 4),
                  ValueAt(*hive, "S-1-5-21-1-2-3-1001\\Env", "Path")->data);
    }
}

TEST(RegFile, MalformedFilesNameTheLineAndTheFault) {
    struct Case {
        const char* text;
        const char* message;
    } cases[] = {
        {"[HKEY_LOCAL_MACHINE\\A]\r\n", "HKLM.reg:1: the first line must be"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A\r\n", "HKLM.reg:2: the key line has no closing"},
        {"REGEDIT4\r\n\r\n[-HKEY_LOCAL_MACHINE\\A]\r\n", "HKLM.reg:3: deleting a key"},
        {"REGEDIT4\r\n\"a\"=\"b\"\r\n", "HKLM.reg:2: a value comes before the first [key] line"},
        {"REGEDIT4\r\n[HKEY_USERS\\X]\r\n", "HKLM.reg:2: the key \"HKEY_USERS\\X\" is not under"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A\\\\B]\r\n", "HKLM.reg:2: the key"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=dword:123456789\r\n",
         "HKLM.reg:3: dword: needs 1 to 8 hexadecimal digits"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex:1,02\r\n",
         "HKLM.reg:3: expected a byte of two hexadecimal digits"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex:01,\r\n",
         "HKLM.reg:3: a \",\" ends the bytes"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex:01,\\\r\n  zz\r\n",
         "HKLM.reg:4: expected a byte"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=hex:01,\\",
         "HKLM.reg:3: the data of \"a\" continues past the end"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"open\r\n",
         "HKLM.reg:3: a quoted text has no closing quote"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=-\r\n", "HKLM.reg:3: deleting a value"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\" \"b\"\r\n", "HKLM.reg:3: expected \"=\""},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=word:1\r\n", "HKLM.reg:3: unknown data"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\nhello\r\n", "HKLM.reg:3: expected a [key] line"},
        {"REGEDIT4\r\n[HKEY_LOCAL_MACHINE\\A]\r\n\"a\"=\"b\" trailing\r\n",
         "HKLM.reg:3: unexpected text"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            Parse(c.text);
            ADD_FAILURE() << "accepted";
        } catch (const lab::LabError& e) {
            EXPECT_EQ(0u, std::string(e.what()).find(c.message)) << e.what();
        }
    }
}
