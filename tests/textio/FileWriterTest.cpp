#include "textio/ErrorMessage.h"
#include "textio/FileWriter.h"

#include "QtPrinting.h"
#include "TestFiles.h"
#include "WorkingDirectory.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

using namespace Qt::Literals::StringLiterals;

QString errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const textio::ErrorMessage& error) {
        return error.text();
    }
    return {};
}

QStringList folderEntries()
{
    return QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

mode_t permissions(const QString& path)
{
    struct stat status = {};
    ::stat(QFile::encodeName(path).constData(), &status);
    return status.st_mode & 07777;
}

// The older file is whole until commit() and the new one whole after it; nothing else ever shows in the folder.
TEST(FileWriter, ReplacesTheFileOnlyWhenCommitted)
{
    const ScopedTemporaryWorkingDirectory folder;
    writeTestFile(u"out.txt"_s, "older");
    textio::FileWriter writer(u"out.txt"_s);
    writer.write(std::string(100000, 'x'));
    EXPECT_EQ(readTestFile(u"out.txt"_s), "older");
    textio::StagedFile staged = writer.finish();
    EXPECT_EQ(readTestFile(u"out.txt"_s), "older");
    staged.commit();
    EXPECT_EQ(readTestFile(u"out.txt"_s), QByteArray(100000, 'x'));
    EXPECT_EQ(folderEntries(), QStringList{u"out.txt"_s});
}

// As a plain create would: a new file by the process's umask, a replaced one with its own permissions, and a
// symbolic link written through.
TEST(FileWriter, GivesTheFileThePermissionsAndPlaceOfAPlainCreate)
{
    const ScopedTemporaryWorkingDirectory folder;
    const mode_t mask = ::umask(027);
    writeTestFile(u"kept.txt"_s, "older");
    ::chmod("kept.txt", 0604);
    QFile::link(u"kept.txt"_s, u"link.txt"_s);
    for (const QString& name : {u"new.txt"_s, u"link.txt"_s}) {
        textio::FileWriter writer(name);
        writer.write("new");
        writer.finish().commit();
    }
    ::umask(mask);
    EXPECT_EQ(permissions(u"new.txt"_s), mode_t(0640));
    EXPECT_EQ(permissions(u"kept.txt"_s), mode_t(0604));
    EXPECT_TRUE(QFileInfo(u"link.txt"_s).isSymLink());
    EXPECT_EQ(readTestFile(u"kept.txt"_s), "new");
}

TEST(FileWriter, ReportsWhatFailsAndLeavesNothingBehind)
{
    const ScopedTemporaryWorkingDirectory folder;
    QDir().mkdir(u"folder"_s);
    EXPECT_EQ(errorOf([] { textio::FileWriter writer(u"missing/out.txt"_s); }),
              u"Cannot create file \"missing/out.txt\". No such file or directory"_s);
    EXPECT_EQ(errorOf([] { textio::FileWriter writer(u"folder"_s); }),
              u"Cannot create file \"folder\". Is a directory"_s);
    // The name turns into a folder between writing and committing.
    EXPECT_EQ(errorOf([] {
                  textio::FileWriter writer(u"late.txt"_s);
                  textio::StagedFile staged = writer.finish();
                  QDir().mkdir(u"late.txt"_s);
                  staged.commit();
              }),
              u"Cannot create file \"late.txt\". Is a directory"_s);
    EXPECT_EQ(folderEntries(), (QStringList{u"folder"_s, u"late.txt"_s}));
}

// A device is written in place: a failed write shows at finish(), and a writer dropped unfinished says nothing.
TEST(FileWriter, ReportsAWriteThatFailsFromFinishButNotFromTheDestructor)
{
    if (!QFileInfo::exists(u"/dev/full"_s))
        GTEST_SKIP() << "no /dev/full";
    EXPECT_EQ(errorOf([] {
                  textio::FileWriter file(u"/dev/full"_s);
                  file.write("row\r\n");
                  file.finish().commit();
              }),
              u"Cannot write file \"/dev/full\". No space left on device"_s);
    EXPECT_NO_THROW({
        textio::FileWriter file(u"/dev/full"_s);
        file.write("row\r\n");
    });
}

} // namespace
