#include "mame/Mame.h"

#include "checks/RomVerification.h"

namespace zelvora {

CheckOutcome Mame::Verified(const VerifyOutcome& outcome, const QString& counts) {
    CheckOutcome said;
    said.message = outcome.problem.isEmpty() ? outcome.notice : outcome.problem;
    said.result = outcome.cancelled            ? QStringLiteral("Verify ROMS cancelled")
                  : !outcome.problem.isEmpty() ? QStringLiteral("Verify ROMS: MAME could not verify the sets")
                                               : counts;
    return said;
}

} // namespace zelvora
