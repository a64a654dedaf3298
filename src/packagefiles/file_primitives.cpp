#include "packagefiles/file_primitives.h"

#include <stdexcept>

#include "filesystem/folder_in_the_way.h"
#include "filesystem/names.h"

namespace zendrik {

size_t GibDateien(RunContext& ctx, const std::string& Dateipfad) {
    const size_t cut = Dateipfad.rfind(kSeparator);
    const size_t patternStart = cut == std::string::npos ? 0 : cut + 1;
    if (Dateipfad.compare(patternStart, 2, "*.") != 0) {
        throw std::invalid_argument("not a mask of the form folder + \"*.ext\": " + Dateipfad);
    }
    const std::string folder = Dateipfad.substr(0, patternStart);
    ctx.Dateiliste = ctx.fs.listFiles(folder, std::string_view(Dateipfad).substr(patternStart + 2));
    // A name with a line break could write lines of its own into the ini: such a file is
    // left where it is, and said so once per turn.
    std::erase_if(ctx.Dateiliste, [&](const std::string& name) {
        if (!hasControlCharacter(name)) return false;
        if (ctx.oddNames.insert(folder + name).second) {
            ctx.log.addLine("    " + folder + escapedName(name) +
                            " left where it is: its name holds a control character");
        }
        return true;
    });
    return ctx.Dateiliste.size();
}

void copyExt(RunContext& ctx, const std::string& QuellPfad, const std::string& ZielPfad) {
    if (!ctx.fs.fileExists(QuellPfad)) return;
    if (ctx.fs.sameFile(QuellPfad, ZielPfad)) {  // a folder both installations share
        ctx.log.extendLastLine("  " + QuellPfad + " is " + ZielPfad + " already    ");
        return;
    }
    if (ctx.fs.writeProtected(ZielPfad)) {
        ctx.log.extendLastLine("  " + QuellPfad + " not copied: " + ZielPfad +
                               " is write-protected    ");
        ctx.leftAlone.push_back(ZielPfad + " is write-protected");
        return;
    }
    if (ctx.fs.ambiguous(ZielPfad)) {
        ctx.log.extendLastLine("  " + QuellPfad + " not copied: " + ZielPfad +
                               " names files that differ only in letter case    ");
        return;
    }
    // A folder there is the player's: it fails this one copy, as a protected file does.
    if (folderInTheWay(ctx.fs, ZielPfad)) {
        ctx.log.extendLastLine("  " + QuellPfad + " not copied: " + ZielPfad + " is a folder    ");
        ctx.leftAlone.push_back(ZielPfad + " is a folder");
        return;
    }
    ctx.log.extendLastLine("  copied " + QuellPfad + " to " + ZielPfad + "    ");
    ctx.fs.copyFile(QuellPfad, ZielPfad);
}

void moveExtReal(RunContext& ctx, const std::string& QuellOrdner, const std::string& ZielOrdner,
                 const std::string& Maske) {
    const size_t count = GibDateien(ctx, QuellOrdner + Maske);
    for (size_t i = 0; i < count; ++i) {
        const std::string name = ctx.Dateiliste[i];
        ctx.Merker = true;
        ctx.log.addLine("    found " + name + " in " + QuellOrdner);
        // Which of two case twins is meant cannot be known: none is moved or replaced.
        if (ctx.fs.ambiguous(QuellOrdner + name)) {
            ctx.log.extendLastLine(
                "  ...left in place: another file there differs from it only "
                "in letter case");
            continue;
        }
        if (ctx.fs.ambiguous(ZielOrdner + name)) {
            ctx.log.extendLastLine("  ...left in place: " + ZielOrdner +
                                   " holds files of this name that differ only in letter case");
            continue;
        }
        if (ctx.fs.writeProtected(ZielOrdner + name)) {
            ctx.log.extendLastLine("  ...left in place: " + ZielOrdner + name +
                                   " is write-protected");
            ctx.leftAlone.push_back(ZielOrdner + name + " is write-protected");
            continue;
        }
        // A folder of this name at home is the player's: this file stays, as before a
        // protected one.
        if (folderInTheWay(ctx.fs, ZielOrdner + name)) {
            ctx.log.extendLastLine("  ...left in place: " + ZielOrdner + name + " is a folder");
            ctx.leftAlone.push_back(ZielOrdner + name + " is a folder");
            continue;
        }
        if (ctx.fs.moveFile(QuellOrdner + name, ZielOrdner + name) == Transfer::SameFile) {
            ctx.log.extendLastLine("  ...left in place: it is " + ZielOrdner + name);
            continue;
        }
        ctx.log.extendLastLine("  ...moved to " + ZielOrdner);
    }
}

}  // namespace zendrik
