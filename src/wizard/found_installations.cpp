#include "wizard/found_installations.h"

#include <chrono>
#include <filesystem>

#include "filesystem/names.h"
#include "finder/installation_finder.h"

namespace zendrik {
namespace {

std::vector<std::string> searchThisMachine() {
    return findInstallations(placesOfThisMachine(), std::chrono::milliseconds(1000));
}

}  // namespace

FoundInstallations::FoundInstallations(std::function<std::vector<std::string>()> find)
    : search_(std::async(std::launch::async, find ? std::move(find) : searchThisMachine)) {}

const std::vector<std::string>& FoundInstallations::folders() {
    if (!folders_) {
        folders_.emplace();
        if (search_.valid() &&
            search_.wait_for(std::chrono::seconds(1)) == std::future_status::ready) {
            try {
                folders_ = search_.get();
            } catch (const std::exception&) {
                // The finder never throws; a search that failed found nothing all the same.
            }
        }
    }
    return *folders_;
}

std::string FoundInstallations::startFolder() {
    namespace stdfs = std::filesystem;
    for (const auto& folder : folders()) {
        for (const char* system : {"System", "System64"}) {
            std::error_code error;
            const stdfs::path root(std::u8string(folder.begin(), folder.end()));
            for (stdfs::directory_iterator it(root, error), end; !error && it != end;
                 it.increment(error)) {
                const auto name = it->path().filename().u8string();
                std::error_code kind;
                if (sameName(std::string(name.begin(), name.end()), system) &&
                    it->is_directory(kind)) {
                    return folder + std::string(name.begin(), name.end()) + kSeparator;
                }
            }
        }
    }
    return {};
}

}  // namespace zendrik
