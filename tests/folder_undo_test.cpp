// "Undo last run" on the folder page, in the wizard core: what it offers for the selected
// installations (each once), the question naming the run, and the undo itself, which gives
// back every byte of what the wizard's repair changed; over real installations and journals
// in a temporary state folder.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "undo_fixture.h"
#include "wizard/folder_undo.h"
#include "wizard/wizard_core.h"

namespace zendrik::testing {
namespace {

using namespace std::chrono;

class Host final : public WizardHost {
  public:
    void postPassEnded() override { ended = true; }
    void endProgram() override {}
    std::atomic<bool> ended{false};
};

class FolderUndoTest : public UndoFixture {
  protected:
    void SetUp() override {
        UndoFixture::SetUp();
        setJournalClock([] { return system_clock::time_point(sys_days(2024y / May / 1) + 12h); });
    }
    void TearDown() override {
        setJournalClock([] { return system_clock::now(); });
        UndoFixture::TearDown();
    }
    // A wizard opened afresh, on its folder page with the programs of `folders` located.
    std::unique_ptr<WizardCore> folderPage(const std::vector<std::string>& folders) {
        auto core = std::make_unique<WizardCore>(disk, host);
        EXPECT_TRUE(core->flow().optionsNext());
        for (const std::string& folder : folders)
            EXPECT_TRUE(core->folders().locate(folder + "System/UnrealTournament.exe").selected);
        return core;
    }
    // The wizard's repair of `folders`, to its end.
    void repair(const std::vector<std::string>& folders) {
        auto core = folderPage(folders);
        host.ended = false;
        ASSERT_TRUE(core->flow().foldersNext());
        ASSERT_TRUE(core->repair().activate());
        for (int i = 0; i < 4000 && !host.ended; ++i) std::this_thread::sleep_for(5ms);
        ASSERT_TRUE(host.ended);
        core->repair().passEnded();
    }

    static JournalStore store() { return JournalStore(JournalStore::userRoot().value_or("")); }

    Host host;
};

}  // namespace

// The question names the installation, the run and its date, and counts what the run did; a
// change the journal voids is no change.
TEST(ChangesOfTest, CountsTheChangesThatWereMade) {
    const auto of = [](RecordKind kind, uint64_t change) {
        return JournalRecord::of(kind, change);
    };
    EXPECT_EQ(changesOf({}), "changed nothing");
    EXPECT_EQ(
        changesOf({of(RecordKind::Move, 1), of(RecordKind::Move, 2), of(RecordKind::Move, 3),
                   of(RecordKind::Void, 3), of(RecordKind::Kept, 4), of(RecordKind::Copy, 4),
                   of(RecordKind::Made, 4), of(RecordKind::Remove, 5), of(RecordKind::Write, 6)}),
        "moved 2 files, copied 1, deleted 1 and rewrote 1 ini");
    EXPECT_EQ(
        changesOf({of(RecordKind::Remove, 1), of(RecordKind::Write, 2), of(RecordKind::Write, 3)}),
        "deleted 1 file and rewrote 2 inis");
}

TEST_F(FolderUndoTest, OffersTheLastRunOfEachSelectedInstallationOnceAndNamesIt) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/UnrealTournament.exe", "MZ");
    ut.add("textures/Skin1.int", skinInt());
    ut.add("system/Skin1.utx", "a skin, misplaced");
    ut.add("system/Gone1.int", gameStyleInt());
    Installation clean(tmp.path(), "Clean");
    clean.add("system/UnrealTournament.exe", "MZ");
    fs::create_directory_symlink(tmp.path() / "UT", tmp.path() / "Linked");
    ASSERT_NO_FATAL_FAILURE(repair({ut.folder()}));

    auto core = folderPage({ut.folder(), tmp.folder() + "Linked/", clean.folder()});
    const std::vector<UndoOffer> offers = core->undo().offers();
    ASSERT_EQ(offers.size(), 2u);
    EXPECT_EQ(offers[0].folder, ut.folder());
    ASSERT_TRUE(offers[0].run);
    EXPECT_EQ(offers[0].text, "Undo the last run on " + ut.folder() + "?\n\nThe run " +
                                  *offers[0].run +
                                  " of 2024-05-01 12:00:00 (UTC) moved 2 files, deleted 1 and "
                                  "rewrote 1 ini. Its changes are taken back; what changed "
                                  "since is left as it is.");
    EXPECT_EQ(offers[1].folder, clean.folder());
    EXPECT_FALSE(offers[1].run);
    EXPECT_EQ(offers[1].text, "No run of " + clean.folder() + " to undo.");
    // Unselected, an installation is not offered.
    core->folders().setSelected(0, false);
    core->folders().setSelected(1, false);
    EXPECT_EQ(core->undo().offers().size(), 1u);
    // Not on the folder page, nothing is offered or undone.
    ASSERT_TRUE(core->flow().foldersNext());
    EXPECT_TRUE(core->undo().offers().empty());
    EXPECT_EQ(core->undo().undo(offers[0]), "");
    EXPECT_FALSE(store().undone(*offers[0].run));
}

TEST_F(FolderUndoTest, TheUndoGivesBackEveryByteOfTheWizardsRepair) {
    const std::vector<std::string> folders = buildThree(tmp.path());
    for (const std::string& folder : folders) put(folder + "System/UnrealTournament.exe"_p, "MZ");
    const auto before = stateOf(tmp.path() / "UT1");
    const auto before2 = stateOf(tmp.path() / "UT2");
    const auto before3 = stateOf(tmp.path() / "UT3");
    ASSERT_NO_FATAL_FAILURE(repair(folders));
    ASSERT_NE(stateOf(tmp.path() / "UT1"), before);

    auto core = folderPage(folders);
    const std::vector<UndoOffer> offers = core->undo().offers();
    ASSERT_EQ(offers.size(), 3u);
    for (const UndoOffer& offer : offers) {
        ASSERT_TRUE(offer.run) << offer.text;
        const std::string log = core->undo().undo(offer);
        EXPECT_EQ(log.substr(0, log.find('\n')), "Processing : " + offer.folder + "...");
        EXPECT_NE(log.find("  undoing the run " + *offer.run), std::string::npos) << log;
        EXPECT_EQ(log.find("left "), std::string::npos) << log;
        EXPECT_TRUE(store().undone(*offer.run));
    }
    EXPECT_EQ(stateOf(tmp.path() / "UT1"), before);
    EXPECT_EQ(stateOf(tmp.path() / "UT2"), before2);
    EXPECT_EQ(stateOf(tmp.path() / "UT3"), before3);
    // Nothing is left to take back.
    for (const UndoOffer& offer : core->undo().offers()) EXPECT_FALSE(offer.run) << offer.text;
}

// A journal that does not read back is named, and nothing is undone.
TEST_F(FolderUndoTest, AJournalThatDoesNotReadBackIsNamedAndNothingIsUndone) {
    Installation ut(tmp.path(), "UT");
    ut.add("system/UnrealTournament.exe", "MZ");
    ut.add("system/Skin1.utx", "a skin, misplaced");
    ASSERT_NO_FATAL_FAILURE(repair({ut.folder()}));
    const auto repaired = stateOf(tmp.path() / "UT");
    const auto runs = store().runsOf(JournalStore::installationKey(ut.folder()));
    ASSERT_EQ(runs.size(), 1u);
    const fs::path journal = fs::path(store().folderOf(runs[0])) / kJournalName;
    std::string text = contentsOf(journal);
    text[text.size() / 2] ^= 1;
    put(journal, text);

    auto core = folderPage({ut.folder()});
    const std::vector<UndoOffer> offers = core->undo().offers();
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_FALSE(offers[0].run);
    EXPECT_TRUE(offers[0].text.starts_with(ut.folder() + ": ")) << offers[0].text;
    EXPECT_TRUE(offers[0].text.ends_with("; nothing was undone.")) << offers[0].text;
    EXPECT_EQ(stateOf(tmp.path() / "UT"), repaired);
}

}  // namespace zendrik::testing
