#include "framework/files/file_selector.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "runtime/errors/error_codes.h"
#include "tests/app/temp_folder.h"
#include "window/window_layer.h"

namespace varnok::framework {
namespace {

namespace fs = std::filesystem;

// A window layer whose file dialog answers as told: it records each request
// and the directory current when it opened, can browse elsewhere (change
// the current directory, as a dialog may), then chooses a name or cancels.
class DialogLayer : public window::WindowLayer {
public:
    DialogLayer() { previous_ = window::setWindowLayer(this); }
    ~DialogLayer() override { window::setWindowLayer(previous_); }

    bool choose = false;
    std::string chosenName;
    std::string browseTo;  // empty: stay

    std::vector<window::FileDialogRequest> requests;
    std::vector<std::string> directories;

    std::unique_ptr<window::Window> open(std::string_view, window::Window*) override { return nullptr; }
    bool fileDialog(window::FileDialogRequest& request) override {
        requests.push_back(request);
        directories.push_back(fs::current_path().string());
        if (!browseTo.empty()) fs::current_path(browseTo);
        if (!choose) return false;
        request.name = chosenName;
        return true;
    }
    int32_t popup(std::string_view) override { return 0; }
    void setCursor(window::Cursor) override {}

private:
    window::WindowLayer* previous_ = nullptr;
};

class FileSelectorTest : public ::testing::Test {
protected:
    void SetUp() override {
        start_ = fs::current_path().string();
        fs::current_path(folder_.path());
        here_ = fs::current_path().string();
        clearError();
    }
    void TearDown() override { fs::current_path(start_); }

    testing::TempFolder folder_;
    std::string start_;
    std::string here_;
    DialogLayer layer_;
};

TEST_F(FileSelectorTest, InitSetsTheTitleAndExplorerFlagOnly) {
    FileSelector s;
    EXPECT_EQ(s.Flags, 0);
    EXPECT_EQ(s.WindowTitle, "");
    s.DefaultFile = "kept.txa";
    s.ClearOnCancel = 1;
    s.Init();
    EXPECT_EQ(s.WindowTitle, "Select A File");
    EXPECT_EQ(s.Flags, 16);
    EXPECT_EQ(s.DefaultFile, "kept.txa");
    EXPECT_EQ(s.ClearOnCancel, 1);
}

TEST_F(FileSelectorTest, MasksAreJoinedByOneBarInCallOrder) {
    struct Step {
        enum { Append, Replace, ReplacePair } kind;
        const char* a;
        const char* b;
        const char* masks;
    } steps[] = {
        {Step::Append, "", nullptr, ""},
        {Step::Append, "TXA Files|*.txa  ", nullptr, "TXA Files|*.txa"},
        {Step::Append, "", nullptr, "TXA Files|*.txa"},
        {Step::Append, "All Files|*.*", nullptr, "TXA Files|*.txa|All Files|*.*"},
        {Step::ReplacePair, "Text Files   ", "*.txt ", "Text Files|*.txt"},
        {Step::Replace, "", nullptr, ""},
        {Step::Replace, "CSV|*.csv", nullptr, "CSV|*.csv"},
    };
    FileSelector s;
    for (const Step& step : steps) {
        switch (step.kind) {
        case Step::Append: s.AppendMask(step.a); break;
        case Step::Replace: s.ReplaceMasks(step.a); break;
        case Step::ReplacePair: s.ReplaceMasks(step.a, step.b); break;
        }
        EXPECT_EQ(s.MaskString, step.masks) << step.a;
    }
}

TEST_F(FileSelectorTest, MasksAreCutTo254Characters) {
    FileSelector s;
    s.AppendMask(std::string(200, 'a'));
    s.AppendMask(std::string(100, 'b'));
    EXPECT_EQ(s.MaskString, std::string(200, 'a') + "|" + std::string(53, 'b'));
    const std::string full = s.MaskString;
    s.AppendMask("more");
    EXPECT_EQ(s.MaskString, full) << "what is joined past the limit is cut away";
}

TEST_F(FileSelectorTest, TheDialogGetsTitleNameMasksAndFlags) {
    FileSelector s;
    s.Init();
    s.DefaultFile = "start.txa";
    layer_.choose = true;
    layer_.chosenName = "/data/picked.txa";
    EXPECT_EQ(s.Choose(false), "/data/picked.txa");
    EXPECT_EQ(s.DialogCancelled, 0);
    ASSERT_EQ(layer_.requests.size(), 1u);
    EXPECT_EQ(layer_.requests[0].title, "Select A File");
    EXPECT_EQ(layer_.requests[0].name, "start.txa");
    EXPECT_EQ(layer_.requests[0].masks, "All Files|*.*") << "an empty mask list offers every file";
    EXPECT_EQ(layer_.requests[0].flags, 16u);

    s.ReplaceMasks("TXA Files", "*.txa");
    s.WindowTitle = std::string(90, 't');
    s.Flags = 1 | 4;
    s.Choose(false);
    EXPECT_EQ(layer_.requests[1].masks, "TXA Files|*.txa");
    EXPECT_EQ(layer_.requests[1].title, std::string(79, 't'));
    EXPECT_EQ(layer_.requests[1].flags, 5u);
}

TEST_F(FileSelectorTest, ACancelGivesTheDefaultFileOrNothingAndIsFlagged) {
    FileSelector s;
    s.Init();
    s.DefaultFile = "default.txa";
    for (uint8_t clear : {0, 1}) {
        s.ClearOnCancel = clear;
        s.DialogCancelled = 0;
        layer_.choose = false;
        EXPECT_EQ(s.Choose(true), clear ? "" : "default.txa");
        EXPECT_EQ(s.DialogCancelled, 1);
        layer_.choose = true;
        layer_.chosenName = "x.txa";
        EXPECT_EQ(s.Choose(true), "x.txa");
        EXPECT_EQ(s.DialogCancelled, 0) << "each run clears it first";
    }
}

TEST_F(FileSelectorTest, AChosenNameIsNeverCut) {
    FileSelector s;
    s.DefaultFile = std::string(300, 'd');
    layer_.choose = true;
    layer_.chosenName = "/" + std::string(400, 'n');
    EXPECT_EQ(s.Choose(false), layer_.chosenName);
    EXPECT_EQ(layer_.requests[0].name, std::string(255, 'd')) << "the starting name is cut to its field";
    layer_.choose = false;
    EXPECT_EQ(s.Choose(false), std::string(255, 'd'));
}

TEST_F(FileSelectorTest, KeepDirectoryComesBackWhereItStarted) {
    fs::create_directories(folder_.file("default"));
    fs::create_directories(folder_.file("browsed"));
    const std::string defaultDir = fs::canonical(folder_.file("default")).string();
    FileSelector s;
    s.DefaultDirectory = "default";
    layer_.browseTo = folder_.file("browsed");
    for (bool chosen : {true, false}) {
        layer_.choose = chosen;
        layer_.chosenName = "f.txa";
        s.Choose(true);
        EXPECT_EQ(layer_.directories.back(), defaultDir) << "the dialog opens in DefaultDirectory";
        EXPECT_EQ(fs::current_path().string(), here_);
        EXPECT_EQ(s.SavePath, here_);
    }
    EXPECT_EQ(errorCode(), 0);
}

TEST_F(FileSelectorTest, WithoutKeepDirectoryTheDialogsDirectoryStays) {
    fs::create_directories(folder_.file("default"));
    FileSelector s;
    s.DefaultDirectory = folder_.file("default");
    s.SavePath = "untouched";
    s.Choose(false);
    EXPECT_EQ(fs::current_path(), fs::canonical(folder_.file("default")));
    EXPECT_EQ(s.SavePath, "untouched");
}

TEST_F(FileSelectorTest, ADirectoryThatCannotBeEnteredPostsPathNotFound) {
    FileSelector s;
    s.DefaultDirectory = folder_.file("missing");
    layer_.choose = true;
    layer_.chosenName = "f.txa";
    EXPECT_EQ(s.Choose(true), "f.txa");
    EXPECT_EQ(errorCode(), 3);
    EXPECT_EQ(errorText(), "Path Not Found");
    EXPECT_EQ(layer_.directories.back(), here_) << "the dialog opens where the process was";
    EXPECT_EQ(fs::current_path().string(), here_);
}

TEST_F(FileSelectorTest, WithoutALayerTheDialogIsCancelled) {
    window::WindowLayer* mine = window::setWindowLayer(nullptr);
    FileSelector s;
    s.DefaultFile = "d";
    EXPECT_EQ(s.Choose(false), "d");
    EXPECT_EQ(s.DialogCancelled, 1);
    window::setWindowLayer(mine);
}

}  // namespace
}  // namespace varnok::framework
