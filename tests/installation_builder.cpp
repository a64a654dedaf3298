#include "installation_builder.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <stdexcept>

namespace zendrik::testing {

namespace fs = std::filesystem;

std::string operator""_p(const char* text, size_t size) {
    std::string path(text, size);
    std::replace(path.begin(), path.end(), '/', kSeparator);
    return path;
}

TempFolder::TempFolder() {
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        auto candidate = fs::temp_directory_path() / ("zendrik-test-" + std::to_string(random()));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void put(const fs::path& path, std::string_view contents) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::string contentsOf(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool isFile(const fs::path& path) {
    return fs::is_regular_file(fs::symlink_status(path));
}

namespace {

void addTree(const std::string& prefix, const fs::path& folder,
             std::map<std::string, std::string>& tree) {
    for (const auto& entry : fs::directory_iterator(folder)) {
        const fs::path path = entry.path();
        const std::string name = prefix + path.filename().generic_string();
        const auto status = fs::symlink_status(path);
        if (fs::is_symlink(status)) {
            tree[name] = "link -> " + fs::read_symlink(path).generic_string();
        } else if (fs::is_directory(status)) {
            tree[name] = "folder";
            addTree(name + "/", path, tree);
        } else {
            tree[name] = "file " + std::to_string(std::hash<std::string>{}(contentsOf(path)));
        }
    }
}

}  // namespace

std::map<std::string, std::string> treeOf(const fs::path& root) {
    std::map<std::string, std::string> tree;
    addTree("", root, tree);
    return tree;
}

std::vector<std::string> entriesOf(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string voiceInt() {
    return "[Public]\r\nObject=(Name=MyVoice.MyVoice,Class=Class,MetaClass=Botpack.VoiceMaleOne)"
           "\r\n";
}
std::string playerClassInt() {
    return "[Public]\r\nObject=(Name=Mdl.Mdl,Class=Class,MetaClass=Botpack.TournamentPlayer,"
           "Description=\"Model\")\r\n";
}
std::string gameStyleInt() {
    return "[Public]\r\nObject=(Name=Gm.Gm,Class=Class,MetaClass=Botpack.TournamentGameInfo)\r\n";
}
std::string skinInt() {
    return "[Public]\r\nObject=(Name=Sk.Sk1,Class=Texture,Description=\"Red\")\r\n";
}
std::string mutatorInt() {
    return "[Public]\r\nObject=(Name=Mu.Mu,Class=Class,MetaClass=Engine.Mutator)\r\n";
}

std::string iniWith(const std::vector<std::string>& entries) {
    std::string text = "[URL]\r\nProtocol=unreal\r\n\r\n[Engine.GameEngine]\r\n";
    text += "EditPackages=Core\r\nEditPackages=Engine\r\n";
    for (const auto& e : entries) text += "ServerPackages=" + e + "\r\n";
    text += "ServerActors=IpDrv.UdpBeacon\r\n\r\n[Core.System]\r\nPurgeCacheDays=30\r\n";
    return text;
}

Installation::Installation(const fs::path& parent, const std::string& name, const std::string& ini)
    : root_(parent / name) {
    for (const char* sub : {"System", "TEXTURES", "sounds", "Maps"}) {
        fs::create_directories(root_ / sub);
    }
    put(this->ini(), ini);
}

fs::path utf8Path(const std::string& text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

fs::path Installation::at(const std::string& relative) const {
    const size_t slash = relative.find('/');
    std::string head = relative.substr(0, slash);
    const std::string rest = slash == std::string::npos ? "" : relative.substr(slash + 1);
    if (head == "system") head = "System";
    if (head == "textures") head = "TEXTURES";
    if (head == "maps") head = "Maps";
    return rest.empty() ? root_ / utf8Path(head) : root_ / utf8Path(head) / utf8Path(rest);
}

void Installation::add(const std::string& relative, std::string_view contents) {
    put(at(relative), contents);
}

}  // namespace zendrik::testing
