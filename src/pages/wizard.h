// The wizard: owns the four windows, each created on first use and then only shown and
// hidden, and the file layer through which every page reaches the disk.
#pragma once

#include <memory>

namespace zendrik {

class FileSystem;
class InfoFormular;
class Optionen;
class OrdnerAuswahl;
class Reparier;

class Wizard {
  public:
    // `fs` must outlive the wizard.
    explicit Wizard(FileSystem& fs);
    ~Wizard();
    Wizard(const Wizard&) = delete;
    Wizard& operator=(const Wizard&) = delete;

    // Shows the options page, the whole of start-up.
    void start();

    FileSystem& fileSystem() { return fs_; }
    Optionen& optionen();
    OrdnerAuswahl& ordnerAuswahl();
    Reparier& reparier();
    InfoFormular& infoFormular();

  private:
    FileSystem& fs_;
    std::unique_ptr<Optionen> optionen_;
    std::unique_ptr<OrdnerAuswahl> ordnerAuswahl_;
    std::unique_ptr<Reparier> reparier_;
    std::unique_ptr<InfoFormular> infoFormular_;
};

}  // namespace zendrik
