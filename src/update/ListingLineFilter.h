#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QHash>
#include <QList>
#include <QSet>

#include <string>

namespace zelvora {

// Drops the lines of a machine's elements that the catalogue has no field for (ROMs, DIP switches,
// slots, ports, devices: nine tenths of the document) before the XML reader sees them: over the
// whole document the reader takes twice as long as MAME takes to print it. MAME writes each such
// element on lines of its own; a line of any other shape is passed on as it stands, as is
// everything outside the machines, so the reader still judges the document's shape.
//
// The XML reader holds a text or a tag whole until its end has come, so no line longer than
// LongestLine reaches it, nor text that runs on over lines for longer. Such a line inside a machine
// is dropped, the bounds of the element it opens or closes kept, and a CutMark put in its place
// tells the reader, in the document's order, that the machine is not whole. Outside a machine
// nothing can be dropped: the document is too long to read.
//
// What the dropped lines tell of the machine that the catalogue keeps beside its record goes on in
// one processing instruction of target FactsTarget before the machine's end tag, its data
// "<players> <media> <files> <screens> <buttons> [<devices>]", media and files 1 or 0, buttons the
// most of any control, devices the number of the list of devices the machine is built from
// (DeviceList), left out when it names none; then, each after a '"', the first screen's type,
// rotation, width, height and refresh, and each kind of control's type and ways, in the listing's
// order. A value too long or of other characters than MAME writes there is left empty.
//
// The CRCs of the machine's own ROMs (those without a "merge" attribute, which are its parent's or
// its BIOS's, and not those never dumped) go on before the facts, in one processing instruction of
// target RomsTarget, eight hex digits each, parted by blanks; none when it has no ROM of its own.
// The lists of devices are kept aside, each once, with the devices that have ROMs of their own:
// MAME lists the devices after every machine built from them. A filter without fingerprints keeps
// neither and passes on no CRCs.
class ListingLineFilter {
public:
    static constexpr qsizetype LongestLine = 64 * 1024;
    // The target of the processing instruction that marks a cut: XML allows one anywhere between
    // a machine's elements.
    static constexpr char CutTarget[] = "zelvora-cut";
    static constexpr char FactsTarget[] = "zelvora-facts";
    static constexpr char RomsTarget[] = "zelvora-roms";
    // The CRCs passed on of one machine: a few machines list thousands of ROMs.
    static constexpr int MostRoms = 4096;

    // A filter without fingerprints passes on no CRCs and keeps no devices.
    explicit ListingLineFilter(bool fingerprints = true) : fingerprints_(fingerprints) {}

    // What of `bytes` goes on to the reader; a line is held back until its end has come.
    QByteArrayView Filter(QByteArrayView bytes);
    // The last line when the document does not end with a line end.
    QByteArrayView Rest();
    // True once a line that cannot be dropped was too long to read; nothing after it is passed on.
    bool TooLong() const { return tooLong_; }
    // A list of devices that the facts number: their names, each after a '"', in the listing's
    // order; empty for a number no list has.
    QByteArray DeviceList(int number) const {
        return number >= 0 && number < lists_.size() ? lists_[number] : QByteArray();
    }
    // Whether a device has ROMs of its own.
    bool HasRoms(QByteArrayView device) const {
        return withRoms_.contains(QByteArray::fromRawData(device.data(), device.size()));
    }

    // A line that holds one tag and nothing else, as MAME writes every element but those with
    // text; of a line too long to hold, also one element with its text.
    struct LineTag {
        enum Kind { None, Start, Empty, Text, End } kind = None;
        QByteArrayView name;
    };

private:
    void Line(QByteArrayView line);
    void LongLine();
    bool Keep(const LineTag& tag, QByteArrayView line);
    void Cut(QByteArrayView bounds);
    void Control(QByteArrayView line);
    void AppendFacts();

    bool fingerprints_ = true;
    QByteArray pending_; // the start of a line whose end has not come
    // A line too long to hold: its first and last bytes, which tell its shape.
    bool long_ = false;
    QByteArray head_, tail_;
    qsizetype textRun_ = 0; // bytes since the last "<" or ">"
    bool tooLong_ = false;
    bool inMachine_ = false;
    QByteArray skipping_; // the element whose lines are dropped up to its end tag
    int depth_ = 0;       // of `skipping_` in itself
    // What the dropped lines of the machine told so far.
    int players_ = 0, screens_ = 0, buttons_ = 0;
    bool media_ = false, files_ = false;
    bool input_ = false;             // the lines dropped are the controls'
    QByteArray screen_;              // the first screen's values, each after a '"'
    QByteArray controls_;            // each kind of control's type and ways, each after a '"'
    QByteArray crcs_;                // of the machine's own ROMs, each after a blank
    QByteArray device_;              // the set name of the machine when it is a device
    std::string named_;              // the names of the devices the machine is built from, each after a '"'
    QHash<QByteArray, int> numbers_; // of the lists of devices
    QList<QByteArray> lists_;
    QSet<QByteArray> withRoms_;

    QByteArray kept_;
};

} // namespace zelvora
