#include <gtest/gtest.h>

#include <string>

#include "win32/DiskFiles.h"
#include "win32/Text.h"
#include "win32/WinApi.h"

namespace hourmark::win32::test {
namespace {

class DiskFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        dir = Utf8FromWide(temp) + "hourmark-files-" + std::to_string(GetCurrentProcessId()) + "-" +
              std::to_string(counter++);
        ASSERT_TRUE(CreateDirectoryW(WideFromUtf8(dir).c_str(), nullptr));
    }
    void TearDown() override { RemoveTree(dir); }

    static void RemoveTree(const std::string& path) {
        WIN32_FIND_DATAW f;
        HANDLE h = FindFirstFileW(WideFromUtf8(path + "\\*").c_str(), &f);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = f.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                const std::string child = path + "\\" + Utf8FromWide(name);
                if (f.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(child);
                } else {
                    SetFileAttributesW(WideFromUtf8(child).c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileW(WideFromUtf8(child).c_str());
                }
            } while (FindNextFileW(h, &f));
            FindClose(h);
        }
        RemoveDirectoryW(WideFromUtf8(path).c_str());
    }

    std::string Bytes(const std::string& path) {
        HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            return "<missing>";
        }
        char buffer[4096];
        DWORD got = 0;
        ReadFile(h, buffer, sizeof buffer, &got, nullptr);
        CloseHandle(h);
        return std::string(buffer, got);
    }

    void Write(const std::string& path, const std::string& bytes, DWORD attributes = 0) {
        HANDLE h = CreateFileW(WideFromUtf8(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(h);
        if (attributes) {
            SetFileAttributesW(WideFromUtf8(path).c_str(), attributes);
        }
    }

    static inline int counter = 0;
    DiskFiles files;
    std::string dir;
};

TEST_F(DiskFilesTest, ReplaceWritesTheWholeTextInTheCodePageAndClearsAStaleTemporaryFile) {
    const std::string ini = dir + "\\hourmark.ini";
    EXPECT_TRUE(files.ReplaceText(ini, "first\r\n"));
    EXPECT_EQ(Bytes(ini), "first\r\n");
    Write(DiskFiles::TemporaryFor(ini), "half-written", FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(files.ReplaceText(ini, "second\r\nZ\xc3\xbcrich\r\n"));
    if (GetACP() == 1252) {
        EXPECT_EQ(Bytes(ini), "second\r\nZ\xfcrich\r\n");
    }
    EXPECT_EQ(files.ReadText(ini, 1000), "second\r\nZ\xc3\xbcrich\r\n");
    EXPECT_FALSE(files.Exists(DiskFiles::TemporaryFor(ini)));
}

TEST_F(DiskFilesTest, UpperCaseIsTheCodePages) {
    ASSERT_EQ(GetACP(), 1252u) << "the test prefix runs in Windows-1252";
    EXPECT_EQ(files.UpperCase("qx1\303\244b-l"), "QX1\303\204B-L") << "the system's code page";
    // Letters of the code page go up; a sharp s has no capital there, and a letter or a sign
    // the code page does not hold stays as it was rather than becoming a question mark.
    EXPECT_EQ(UpperCaseIn(1252, "qx1\303\244\303\266b-l"), "QX1\303\204\303\226B-L");
    EXPECT_EQ(UpperCaseIn(1252, "stra\303\237e"), "STRA\303\237E");
    EXPECT_EQ(UpperCaseIn(1252, "\xd0\xb6 \xf0\x9f\x93\xbb qx"), "\xd0\xb6 \xf0\x9f\x93\xbb QX");
    // Windows' "Use Unicode UTF-8" option makes the system's code page UTF-8, which holds every
    // letter; Wine cannot be switched to it, but converts with it as Windows does.
    EXPECT_EQ(UpperCaseIn(CP_UTF8, "qx1\303\244\303\266b-l"), "QX1\303\204\303\226B-L");
    EXPECT_EQ(UpperCaseIn(CP_UTF8, "\xd0\xb6 \xf0\x9f\x93\xbb qx"), "\xd0\x96 \xf0\x9f\x93\xbb QX");
    // A double-byte code page: Japanese holds Cyrillic, not the umlaut.
    EXPECT_EQ(UpperCaseIn(932, "\xd0\xb6\303\244qx"), "\xd0\x96\303\244QX");
}

TEST_F(DiskFilesTest, AFailedReplaceLeavesTheOldFileAndNoTemporaryFile) {
    // A directory in the target's place cannot be replaced by a file.
    const std::string blocked = dir + "\\blocked";
    ASSERT_TRUE(CreateDirectoryW(WideFromUtf8(blocked).c_str(), nullptr));
    EXPECT_FALSE(files.ReplaceText(blocked, "text"));
    EXPECT_TRUE(files.IsDirectory(blocked));
    EXPECT_FALSE(files.Exists(DiskFiles::TemporaryFor(blocked)));
    // Nor can a file in a directory that is not there.
    EXPECT_FALSE(files.ReplaceText(dir + "\\missing\\hourmark.ini", "text"));
}

TEST_F(DiskFilesTest, ReadAppendCopyAndTheQuestionsAboutPaths) {
    const std::string log = dir + "\\HourMarkLog.txt";
    EXPECT_EQ(files.ReadText(log, 100), std::nullopt);
    EXPECT_TRUE(files.AppendText(log, "one\r\n"));
    EXPECT_TRUE(files.AppendText(log, "two \xc3\xa9\r\n"));
    EXPECT_EQ(files.ReadText(log, 1000), "one\r\ntwo \xc3\xa9\r\n");
    EXPECT_EQ(files.ReadText(log, 4), "one\r");
    EXPECT_FALSE(files.AppendText(dir + "\\missing\\x.txt", "x"));

    EXPECT_TRUE(files.CopyFile(log, dir + "\\copy.txt"));
    EXPECT_EQ(Bytes(dir + "\\copy.txt"), Bytes(log));
    EXPECT_TRUE(files.CopyFile(log, dir + "\\copy.txt")) << "an existing target is replaced";
    EXPECT_FALSE(files.CopyFile(dir + "\\none.txt", dir + "\\copy2.txt"));

    EXPECT_TRUE(files.Exists(log));
    EXPECT_FALSE(files.Exists(dir));
    EXPECT_TRUE(files.IsDirectory(dir));
    EXPECT_FALSE(files.IsDirectory(log));
    EXPECT_FALSE(files.Exists(dir + "\\none.txt"));
}

TEST_F(DiskFilesTest, ListsDirectoriesAndFilesApartSortedWithoutHiddenOnes) {
    for (const char* d : {"\\wav", "\\Archive", "\\.hidden"}) {
        ASSERT_TRUE(CreateDirectoryW(WideFromUtf8(dir + d).c_str(), nullptr));
    }
    SetFileAttributesW(WideFromUtf8(dir + "\\.hidden").c_str(), FILE_ATTRIBUTE_HIDDEN);
    Write(dir + "\\net.wav", "x");
    Write(dir + "\\ID.WAV", "x");
    Write(dir + "\\b.txt", "x");
    Write(dir + "\\secret.wav", "x", FILE_ATTRIBUTE_HIDDEN);
    const auto listing = files.ListDirectory(dir);
    ASSERT_TRUE(listing.has_value());
    EXPECT_EQ(listing->directories, (std::vector<std::string>{"Archive", "wav"}));
    EXPECT_EQ(listing->files, (std::vector<std::string>{"b.txt", "ID.WAV", "net.wav"}));
    EXPECT_EQ(files.ListDirectory(dir + "\\")->files.size(), 3u) << "a trailing separator";
    const auto empty = files.ListDirectory(dir + "\\wav");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->directories.empty());
    EXPECT_TRUE(empty->files.empty());
    EXPECT_EQ(files.ListDirectory(dir + "\\none"), std::nullopt);
}

TEST_F(DiskFilesTest, DrivesAndTheProgramDirectory) {
    const auto drives = files.ListDrives();
    ASSERT_NE(std::find(drives.begin(), drives.end(), "c:"), drives.end());
    const auto c = files.DriveDirectory("c:");
    ASSERT_TRUE(c.has_value());
    EXPECT_TRUE(c->size() >= 3 && (c->at(0) == 'c' || c->at(0) == 'C') && c->substr(1, 2) == ":\\")
        << *c;
    EXPECT_TRUE(files.IsDirectory(*c));
    for (char letter = 'z'; letter >= 'd'; --letter) {
        const std::string drive = std::string(1, letter) + ":";
        if (std::find(drives.begin(), drives.end(), drive) == drives.end()) {
            EXPECT_EQ(files.DriveDirectory(drive), std::nullopt) << drive;
            break;
        }
    }

    wchar_t exe[MAX_PATH];
    GetModuleFileNameW(nullptr, exe, MAX_PATH);
    std::string expected = Utf8FromWide(exe);
    expected.resize(expected.find_last_of('\\'));
    EXPECT_EQ(files.ProgramDirectory(), expected);
    EXPECT_NE(files.ProgramDirectory().back(), '\\');
}

}  // namespace
}  // namespace hourmark::win32::test
