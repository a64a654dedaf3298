#include "filesystem/folder_listing.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "filesystem/names.h"

namespace zendrik {
namespace {

using Kind = FolderListing::Kind;
using Names = std::vector<std::string>;

TEST(FolderListing, EverySpellingFindsTheFirstTwinOfTheKindAsked) {
    FolderListing listing;
    listing.insert("maps", Kind::File);  // a file beside the folder of the same name
    listing.insert("Maps", Kind::Folder);
    listing.insert("textures.u", Kind::File);
    listing.insert("Textures.U", Kind::File);
    listing.insert("TEXTURES.u", Kind::File);

    EXPECT_EQ(listing.find(foldName("mApS"), Kind::Folder), "Maps");
    EXPECT_EQ(listing.find(foldName("MAPS"), Kind::File), "maps");
    EXPECT_EQ(listing.find(foldName("maps"), Kind::Other), std::nullopt);
    EXPECT_EQ(listing.find(foldName("textures.u"), Kind::File), "TEXTURES.u");
    EXPECT_EQ(listing.find(foldName("nothing"), Kind::File), std::nullopt);

    // With the first gone the next in byte order stands in; back again, it is first again.
    listing.erase("TEXTURES.u");
    EXPECT_EQ(listing.find(foldName("textures.u"), Kind::File), "Textures.U");
    listing.erase("Textures.U");
    listing.erase("textures.u");
    EXPECT_EQ(listing.find(foldName("textures.u"), Kind::File), std::nullopt);
    listing.insert("textures.u", Kind::File);
    listing.insert("TEXTURES.u", Kind::File);
    EXPECT_EQ(listing.find(foldName("textures.u"), Kind::File), "TEXTURES.u");
    // Erasing a name that is not there, or another spelling of one, changes nothing.
    listing.erase("Textures.u");
    listing.erase("absent.u");
    EXPECT_EQ(listing.files("U"), (Names{"TEXTURES.u", "textures.u"}));
}

TEST(FolderListing, FilesFollowTheMaskAndTheListingOrder) {
    FolderListing listing;
    for (const char* name : {"b.int", "A.INT", ".int", "a.b.int", "x.int.bak", "Zed.Int", "c.inT",
                             "_under.int", "dir.int", "arc.tar.gz", "arc.gz", "é.int", "É.int"}) {
        listing.insert(name, std::string(name) == "dir.int" ? Kind::Folder : Kind::File);
    }
    // Folded names in byte order ('_' after the capitals), then the real names; "dir.int" is
    // a folder and ".int" has no base name.
    EXPECT_EQ(listing.files("INT"), (Names{"a.b.int", "A.INT", "b.int", "c.inT", "Zed.Int",
                                           "_under.int", "É.int", "é.int"}));
    EXPECT_EQ(listing.files("TAR.GZ"), Names{"arc.tar.gz"});
    EXPECT_EQ(listing.files("GZ"), (Names{"arc.gz", "arc.tar.gz"}));
    EXPECT_EQ(listing.files("BAK"), Names{"x.int.bak"});
    EXPECT_EQ(listing.files("UNR"), Names{});

    listing.erase("b.int");
    listing.insert("B.int", Kind::File);
    listing.insert("0.int", Kind::File);
    EXPECT_EQ(listing.files("INT"), (Names{"0.int", "a.b.int", "A.INT", "B.int", "c.inT", "Zed.Int",
                                           "_under.int", "É.int", "é.int"}));
}

TEST(FolderListing, CaseTwinsComeInGroupsInListingOrder) {
    FolderListing listing;
    listing.insert("solo.u", Kind::File);
    EXPECT_TRUE(listing.caseTwins().empty());
    listing.insert("zz.u", Kind::File);
    listing.insert("ZZ.u", Kind::File);
    listing.insert("system", Kind::Folder);
    listing.insert("System", Kind::Folder);
    listing.insert("SYSTEM", Kind::Folder);
    EXPECT_EQ(listing.caseTwins(),
              (std::vector<Names>{{"SYSTEM", "System", "system"}, {"ZZ.u", "zz.u"}}));
    listing.erase("zz.u");
    EXPECT_EQ(listing.caseTwins(), (std::vector<Names>{{"SYSTEM", "System", "system"}}));
}

// The plain model of a listing: a sorted map of (folded name, name) to kind.
class ReferenceListing {
  public:
    void insert(const std::string& name, Kind kind) { entries_[{foldName(name), name}] = kind; }
    void erase(const std::string& name) { entries_.erase({foldName(name), name}); }
    std::optional<std::string> find(const std::string& folded, Kind kind) const {
        for (auto it = entries_.lower_bound({folded, ""});
             it != entries_.end() && it->first.first == folded; ++it) {
            if (it->second == kind) return it->first.second;
        }
        return std::nullopt;
    }
    Names files(const std::string& extension) const {
        Names names;
        for (const auto& [key, kind] : entries_) {
            if (kind == Kind::File && matchesExtension(key.second, extension)) {
                names.push_back(key.second);
            }
        }
        return names;
    }

  private:
    std::map<std::pair<std::string, std::string>, Kind> entries_;
};

TEST(FolderListing, AgreesWithASortedMapOverThousandsOfChanges) {
    std::mt19937 random(7);
    const auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    const std::vector<std::string> stems = {"dm-deck", "CTF-Face", "skin", "Voice", "Ä", "x"};
    const std::vector<std::string> types = {"u", "U", "int", "INT", "utx", "tar.gz", "Int"};
    const auto randomName = [&] {
        std::string name = stems[pick(stems.size())] + std::to_string(pick(3000));
        if (pick(2) == 0) name[0] = static_cast<char>(std::toupper(name[0]));
        return name + "." + types[pick(types.size())];
    };
    FolderListing listing;
    ReferenceListing reference;
    for (int step = 0; step < 20000; ++step) {
        const std::string name = randomName();
        if (pick(4) == 0) {
            listing.erase(name);
            reference.erase(name);
        } else {
            const Kind kind = pick(10) == 0 ? Kind::Folder : Kind::File;
            listing.insert(name, kind);
            reference.insert(name, kind);
        }
        if (step % 1000 == 0 || step == 19999) {
            for (const char* extension : {"u", "int", "utx", "tar.gz", "gz"}) {
                ASSERT_EQ(listing.files(foldName(extension)), reference.files(extension))
                    << "after step " << step << ", *." << extension;
            }
        }
        const std::string probe = foldName(randomName());
        ASSERT_EQ(listing.find(probe, Kind::File), reference.find(probe, Kind::File)) << probe;
        ASSERT_EQ(listing.find(probe, Kind::Folder), reference.find(probe, Kind::Folder)) << probe;
    }
}

}  // namespace
}  // namespace zendrik
