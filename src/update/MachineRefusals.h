#pragma once

#include <QStringList>

namespace zelvora {

struct MachineListing;

// Why today's MAME's listing must leave the catalogue as it is, or nothing: what a listing that
// is not whole leaves out would be taken for expired and deleted with its options.
QStringList MachineRefusals(const MachineListing& listing);

} // namespace zelvora
