#pragma once

#include <QString>

#include <vector>

namespace zelvora {

class ProcessRunner;
class Progress;

// The three listings MAME is asked for, each written into the program directory.
struct ListingCapture {
    QString file;    // "Clones.txt", "Games.txt", "Details.txt"
    QString command; // the shell command line whose standard output it holds
    int exitCode = 0;
    QString path{};  // where it is written
    QString error{}; // why MAME's output could not be written there; empty when it was
};

// The command lines, in the order they run: clones, games, details. Every path is quoted.
std::vector<ListingCapture> ListingCommands(const QString& mamePath, const QString& programDir);

// Runs each command to its end, one after the other, keeping each exit code, and writes its
// standard output to its file, every write checked: where a shell's redirection would leave a
// listing cut short by a full disk to be read as whole, a write that fails stops MAME and the
// captures after it are not run. `progress` lets events run while MAME works; false when the user
// cancelled there: that MAME was ended, the later ones never ran and nothing captured is kept.
bool CaptureListings(std::vector<ListingCapture>& captures, ProcessRunner& runner, Progress& progress);

// Removes the files the captures were written to: those of an update that was refused are of no
// use, and on a full disk they would keep the catalogue from opening.
void RemoveCaptures(const std::vector<ListingCapture>& captures);

} // namespace zelvora
