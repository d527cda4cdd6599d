#include <algorithm>
#include <cstring>

#include "PageFixture.h"
#include "shell/ProgramsFolder.h"
#include "support/ModalResponder.h"
#include "support/TempTree.h"

namespace {

std::string ProgramsFolder() {
    char path[MAX_PATH];
    std::memset(path, 'Q', sizeof path);
    GetProgramsFolder(path);
    return path;
}

// Entries made in the user's Programs folder for one test.
class StartMenuEntries {
public:
    ~StartMenuEntries() {
        for (const std::string& path : made_) RemoveTree(path);
    }
    std::string Folder(const std::string& name, DWORD attributes = 0) {
        std::string path = ProgramsFolder() + "\\" + name;
        CreateDirectoryA(path.c_str(), nullptr);
        if (attributes) SetFileAttributesA(path.c_str(), attributes);
        made_.push_back(path);
        return path;
    }
    void File(const std::string& name) {
        std::string path = ProgramsFolder() + "\\" + name;
        HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        made_.push_back(path);
    }

private:
    std::vector<std::string> made_;
};

class StartFolderTest : public PageTest {
protected:
    void OpenAt(bool withEntries = true) {
        if (withEntries) {
            entries_.Folder("Vsetup Games");
            entries_.Folder("vsetup accessories");
            entries_.Folder("Vsetup Hidden", FILE_ATTRIBUTE_HIDDEN);
            entries_.File("Vsetup Link.lnk");
        }
        AddWelcome();
        page_ = AddStartFolder();
        AddReady();
        Open();
        Next();
        ASSERT_EQ(Current(), 1);
    }
    std::vector<std::string> Listed() const {
        std::vector<std::string> names;
        HWND list = sheet.PageItem(IDC_EXISTING_FOLDERS);
        LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char name[MAX_PATH] = {};
            if (SendMessageA(list, LB_GETTEXTLEN, i, 0) < MAX_PATH) SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(name));
            names.push_back(name);
        }
        return names;
    }
    int IndexOf(const std::string& name) const {
        std::vector<std::string> names = Listed();
        auto found = std::find(names.begin(), names.end(), name);
        return found == names.end() ? -1 : static_cast<int>(found - names.begin());
    }
    void Type(const char* text) { SetWindowTextA(sheet.PageItem(IDC_START_FOLDER_EDIT), text); }

    StartMenuEntries entries_;
    StartFolderPage* page_ = nullptr;
};

TEST(ProgramsFolder, IsTheUsersExistingProgramsFolder) {
    std::string path = ProgramsFolder();
    ASSERT_FALSE(path.empty());
    EXPECT_EQ(path.substr(path.size() - 9), "\\Programs");
    DWORD attributes = GetFileAttributesA(path.c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(StartFolderTest, ListsEveryFolderOfTheStartMenuButNoFile) {
    OpenAt();
    EXPECT_EQ(Text(IDC_START_FOLDER_EDIT), "Varnplay");
    std::vector<std::string> names = Listed();
    EXPECT_NE(IndexOf("Vsetup Games"), -1);
    EXPECT_NE(IndexOf("vsetup accessories"), -1);
    EXPECT_NE(IndexOf("Vsetup Hidden"), -1);
    EXPECT_EQ(IndexOf("Vsetup Link.lnk"), -1);
    EXPECT_EQ(IndexOf("."), -1);
    EXPECT_EQ(IndexOf(".."), -1);
    // Exactly the folders the Programs folder holds.
    size_t folders = 0;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((ProgramsFolder() + "\\*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        std::string name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "." && name != "..") ++folders;
    } while (FindNextFileA(search, &found));
    FindClose(search);
    EXPECT_EQ(names.size(), folders);
    EXPECT_TRUE(page_->listFilled);
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kBackId));
    EXPECT_TRUE(sheet.IsButtonEnabled(WizardSheet::kNextId));
}

TEST_F(StartFolderTest, DoubleClickCopiesTheNameAndASingleClickDoesNot) {
    OpenAt();
    int games = IndexOf("Vsetup Games");
    ASSERT_NE(games, -1);
    SendMessageA(sheet.PageItem(IDC_EXISTING_FOLDERS), LB_SETCURSEL, games, 0);
    Command(IDC_EXISTING_FOLDERS, LBN_SELCHANGE);
    EXPECT_EQ(Text(IDC_START_FOLDER_EDIT), "Varnplay");
    Command(IDC_EXISTING_FOLDERS, LBN_DBLCLK);
    EXPECT_EQ(Text(IDC_START_FOLDER_EDIT), "Vsetup Games");
    Next();
    EXPECT_EQ(Current(), 2);
    EXPECT_STREQ(settings.startFolder.Get(), "Vsetup Games");
}

TEST_F(StartFolderTest, EmptyNameKeepsThePageWithoutAMessage) {
    OpenAt(false);
    Type("");
    Next();
    EXPECT_EQ(Current(), 1);
    EXPECT_STREQ(settings.startFolder.Get(), "Varnplay");
}

TEST_F(StartFolderTest, NamesAreStoredAsTypedUnlessTheyWouldLeaveThePrograms) {
    OpenAt(false);
    Type("Games\\Varnplay 2");
    Next();
    EXPECT_EQ(Current(), 2);
    EXPECT_STREQ(settings.startFolder.Get(), "Games\\Varnplay 2");
    Back();
    // Refused with a message, and the page stays: cut, outside the Programs
    // folder, or a name Windows would change or cannot create.
    ModalResponder responder;
    std::string tooLong(260, 'n');
    const char* refused[] = {tooLong.c_str(), "..\\..\\Odd Escape", "C:\\Odd", "Games/Varn", "a|b", "   ", "COM1"};
    for (const char* name : refused) {
        responder.Then(ModalResponder::Press(IDOK));
        Type(name);
        Next();
        EXPECT_EQ(Current(), 1) << name;
        EXPECT_STREQ(settings.startFolder.Get(), "Games\\Varnplay 2") << name;
    }
    ASSERT_EQ(responder.seen().size(), 7u);
    EXPECT_EQ(responder.seen()[0].text,
              "The Start Menu folder name is longer than 259 characters.  Please type a shorter one.");
    EXPECT_EQ(responder.seen()[1].text,
              "The Start Menu folder name holds \"..\", which leads out of its folder.  Please type another name.");
    for (const ModalResponder::Seen& seen : responder.seen()) {
        EXPECT_EQ(seen.caption, "Setup");
        EXPECT_FALSE(seen.unexpected);
    }
    Type("\\Games\\\\Varn\\");
    Next();
    EXPECT_EQ(Current(), 2);
    EXPECT_STREQ(settings.startFolder.Get(), "\\Games\\\\Varn\\");
}

TEST_F(StartFolderTest, ListIsFilledOnceAndTheEditKeepsWhatTheUserLeft) {
    OpenAt();
    Type("My Games");
    Back();
    entries_.Folder("Vsetup Later");
    settings.startFolder.Assign("Changed Meanwhile");
    Next();
    EXPECT_EQ(Current(), 1);
    EXPECT_EQ(IndexOf("Vsetup Later"), -1);
    EXPECT_EQ(Text(IDC_START_FOLDER_EDIT), "My Games");
}

}  // namespace
