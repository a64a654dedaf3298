#include "exchange/extension_exchange.h"

#include "engine_fixture.h"
#include "serverpackages/ini_text.h"

namespace zendrik::testing {
namespace {

class ExchangeTest : public EngineTest {
  protected:
    // Runs the exchange for installation `current` of `work` with its ini text.
    void exchange(const std::vector<const Installation*>& work, size_t current) {
        ctx.OrdnerListe.clear();
        for (const auto* ut : work) ctx.OrdnerListe.push_back(ut->folder());
        ServerPackageList list(readIniText(disk, work[current]->ini().string()));
        ExchangeExtensions(ctx, current, list);
        utini = list.text();
    }
    std::string utini;
};

TEST_F(ExchangeTest, CopiesEachKindsFilesAndRegistersItsEntry) {
    Installation S(tmp.path(), "S");
    Installation T(tmp.path(), "T", iniWith({"PackA"}));
    S.add("system/Vo.int", voiceInt());
    S.add("system/Vo.u", "vo code");
    S.add("sounds/VO.uax", "vo sound");
    S.add("system/Pc.int", playerClassInt());
    S.add("system/Pc.u", "pc from system");
    S.add("models/Pc.u", "pc from models");
    S.add("sounds/PcSounds.uax", "pc sounds");
    S.add("system/Sk.int", skinInt());  // its texture is missing
    S.add("system/Mu.int", mutatorInt());
    S.add("system/Mu.u", "mu code");
    S.add("system/Plain.int", "no kind");
    S.add("system/Plain.u", "not copied");
    S.add("system/Core.int", "stock");
    S.add("system/Have.int", voiceInt());
    T.add("system/HAVE.INT", voiceInt());
    exchange({&S, &T}, 1);

    const std::string s = S.folder(), t = T.folder();
    const auto copied = [](const std::string& from, const std::string& to) {
        return "  copied " + from + " to " + to + "    ";
    };
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "",
                  "    Scanning other folders for extensions not in " + t,
                  "      " + s,
                  "        extension found: Mu.int (Mutator)" +
                      copied(s + "system/Mu.u"_p, t + "system/Mu.u"_p) +
                      copied(s + "system/Mu.int"_p, t + "system/Mu.int"_p),
                  "        extension found: Pc.int (PlayerClass)" +
                      copied(s + "system/Pc.u"_p, t + "system/Pc.u"_p) +
                      copied(s + "models/Pc.u"_p, t + "system/Pc.u"_p) +
                      copied(s + "sounds/PcSounds.uax"_p, t + "sounds/PcSounds.uax"_p) +
                      "  ...entry added" + copied(s + "system/Pc.int"_p, t + "system/Pc.int"_p),
                  "        extension found: Plain.int ()" +
                      copied(s + "system/Plain.int"_p, t + "system/Plain.int"_p),
                  "        extension found: Sk.int (Skin)  ...entry added" +
                      copied(s + "system/Sk.int"_p, t + "system/Sk.int"_p),
                  "        extension found: Vo.int (Voice)" +
                      copied(s + "system/Vo.u"_p, t + "system/Vo.u"_p) +
                      copied(s + "sounds/Vo.uax"_p, t + "sounds/Vo.uax"_p) + "  ...entry added" +
                      copied(s + "system/Vo.int"_p, t + "system/Vo.int"_p),
              }));
    EXPECT_EQ(contentsOf(T.at("system/Pc.u")), "pc from models");
    EXPECT_EQ(contentsOf(T.at("sounds/Vo.uax")), "vo sound");
    EXPECT_EQ(contentsOf(T.at("system/Mu.u")), "mu code");
    EXPECT_FALSE(isFile(T.at("system/Plain.u")));
    EXPECT_FALSE(isFile(T.at("system/Core.int")));
    EXPECT_EQ(utini, iniWith({"Vo", "Sk", "Pc", "PackA"}));
    EXPECT_EQ(contentsOf(T.ini()), utini);
}

TEST_F(ExchangeTest, EarlierInstallationsProvideAndCopiesAreSeenByLaterOnes) {
    Installation A(tmp.path(), "A");
    Installation B(tmp.path(), "B");
    Installation C(tmp.path(), "C");
    B.add("system/Gm.int", gameStyleInt());
    B.add("system/Gm.u", "from B");
    C.add("system/gm.int", gameStyleInt());
    C.add("system/gm.u", "from C");
    exchange({&A, &B, &C}, 0);
    EXPECT_EQ(contentsOf(A.at("system/Gm.u")), "from B");
    EXPECT_EQ(log.size(), 5u);  // empty, scanning, B, found, C (skipped: present now)
    EXPECT_EQ(log[4], "      " + C.folder());
    // A game style leaves the ini alone.
    EXPECT_EQ(contentsOf(A.ini()), iniWith({"SoldierSkins", "CommandoSkins"}));

    log.clear();
    exchange({&A}, 0);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "", "    Scanning other folders for extensions not in " + A.folder()}));
}

TEST_F(ExchangeTest, AnAlreadyListedPackageGetsASecondEntry) {
    Installation S(tmp.path(), "S");
    Installation T(tmp.path(), "T", iniWith({"Sk"}));
    S.add("system/Sk.int", skinInt());
    exchange({&S, &T}, 1);
    EXPECT_EQ(contentsOf(T.ini()), iniWith({"Sk", "Sk"}));
}

}  // namespace
}  // namespace zendrik::testing
