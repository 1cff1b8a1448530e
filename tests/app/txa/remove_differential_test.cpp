// Random TXA files and random tick sets, checked against the plain model of
// tests/app/txa_reference.h: the extension list, the bytes written, the
// output name, and the list rebuilt afterwards.
#include <gtest/gtest.h>

#include <random>

#include "app/txa/extension_remover.h"
#include "app/window/remove_and_save.h"
#include "app/txa/extension_selection.h"
#include "tests/app/temp_folder.h"
#include "tests/app/txa_reference.h"
#include "tests/support/scripted_presenter.h"

namespace varnok::app {
namespace {

using namespace varnok::testing;

struct RandomTxa {
    std::mt19937& rng;
    bool chance(int percent) { return static_cast<int>(rng() % 100) < percent; }
    template <class T>
    const T& pick(const std::vector<T>& v) { return v[rng() % v.size()]; }

    std::string name() {
        static const std::vector<std::string> names = {"Logger", "Resizer", "Caf\xE9", "logger", "A", "Long"};
        std::string n = pick(names);
        if (chance(10)) n += std::string(60 + rng() % 20, 'n');  // longer than its field
        return n;
    }
    std::string text() {
        static const std::vector<std::string> bits = {"x", "text ", "\r", "\n", "  ", "\xE9\x80", "[", "NAME "};
        std::string t;
        for (int i = 0, n = rng() % 6; i < n; ++i) t += pick(bits);
        if (chance(3)) t += std::string(1000 + rng() % 1200, 'L') + (chance(50) ? "   " : "");
        if (chance(15)) t += "   ";
        return t;
    }
    std::string header(const std::string& upper) {
        std::string h = upper;
        if (chance(30))
            for (size_t i = 2; i < h.size(); ++i) h[i] = static_cast<char>(std::tolower(h[i]));
        if (chance(30)) h += "  ";
        return h;
    }
    std::vector<std::string> lines() {
        std::vector<std::string> l;
        for (int i = 0, n = 1 + rng() % 60; i < n; ++i) {
            switch (rng() % 10) {
            case 0:
                l.push_back("[PROCEDURE]");
                if (chance(85)) l.push_back("NAME Proc" + std::to_string(rng() % 5) + (chance(10) ? std::string(70, 'p') : ""));
                break;
            case 1:
            case 2:
                l.push_back(chance(90) ? "[ADDITION]" : "[Addition]");
                if (chance(85)) {
                    int form = rng() % 10;
                    std::string tpl = chance(10) ? std::string(45, 'T') : (chance(50) ? "Tools" : "Other");
                    l.push_back(form == 0 ? "NAME  " + name() : form == 1 ? "NAME " + tpl : "NAME " + tpl + " " + name());
                }
                break;
            case 3: l.push_back(header(pick(std::vector<std::string>{"[INSTANCE]", "[PROMPTS]", "[FIELDPROMPT]"}))); break;
            case 4: l.push_back(pick(std::vector<std::string>{"[WINDOW]", "[END]", "[EMBED]", "["})); break;
            default: l.push_back(text()); break;
            }
        }
        return l;
    }
};

std::string referenceOutputName(const std::string& folder, const std::string& file) {
    size_t dot = file.find('.', 1);
    return folder + "/" + (dot == std::string::npos ? file + ".txa" : file.substr(0, dot) + "_" + file.substr(dot));
}

TEST(RemoveDifferential, RandomFilesAndTicksAgreeWithTheModel) {
    std::mt19937 rng(2024);
    RandomTxa gen{rng};
    const std::vector<std::string> fileNames = {"main.txa", "main", "app.v2.txa"};
    const std::vector<int32_t> chunkSizes = {3, 17, 64, 1000, 1048575};
    for (int round = 0; round < 250; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        TempFolder dir;
        std::vector<std::string> generated = gen.lines();
        bool lfOnly = gen.chance(15);
        std::string bytes;
        for (size_t i = 0; i < generated.size(); ++i) {
            bool last = i + 1 == generated.size();
            bytes += generated[i];
            if (!last || gen.chance(70)) bytes += lfOnly ? "\n" : "\r\n";
        }
        std::string fileName = gen.pick(fileNames);
        std::string input = dir.write(fileName, bytes);

        ExtensionRemover remover;
        remover.queueTool.MaxBufSize = gen.pick(chunkSizes);
        remover.FileNameTXA = input;
        ASSERT_EQ(remover.Load().status, LoadStatus::Loaded);
        std::vector<std::string> whole = refSplit(bytes);
        std::vector<RefInstance> expected = refScan(whole);
        ASSERT_EQ(listOf(remover.ExtensionQ), expected);

        std::vector<bool> ticked(expected.size());
        size_t goneLines = 0;
        for (size_t k = 0; k < expected.size(); ++k) {
            ticked[k] = gen.chance(35);
            if (ticked[k]) {
                toggleRow(remover.ExtensionQ, static_cast<int32_t>(k + 1));
                if (expected[k].to >= expected[k].from) goneLines += expected[k].to - expected[k].from + 1;
            }
        }
        ScriptedPresenter boxes;
        boxes.expect("Confirm", window::ButtonYes);
        boxes.expect(goneLines ? "Saved" : "Nothing to delete", window::ButtonOk);
        RemoveOutcome outcome = RemoveAndSave(remover);
        boxes.verifyDone();
        if (goneLines == 0) {
            ASSERT_EQ(outcome, RemoveOutcome::NothingToDelete);
            continue;
        }
        ASSERT_EQ(outcome, RemoveOutcome::Saved);
        ASSERT_EQ(remover.DeletedCount, static_cast<int32_t>(goneLines));
        ASSERT_EQ(remover.NewFileName, referenceOutputName(dir.path(), fileName));
        std::vector<std::string> kept = refRemove(whole, expected, ticked);
        ASSERT_EQ(readFile(remover.NewFileName), refWrite(kept, refHasLfEnds(bytes) ? "\n" : "\r\n"));
        ASSERT_EQ(readFile(input), bytes);
        std::vector<std::string> keptCut;
        for (const auto& k : kept) keptCut.push_back(k.substr(0, 1024));
        ASSERT_EQ(listOf(remover.ExtensionQ), refScan(keptCut));
    }
}

}  // namespace
}  // namespace varnok::app
