#include "mame/Mame.h"

#include "checks/RomAudit.h"
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

CheckOutcome Mame::Audited(const AuditOutcome& audit) {
    VerifyOutcome outcome;
    outcome.cancelled = audit.cancelled;
    outcome.problem = audit.problem;
    return Verified(outcome, AuditSummary(audit.counts));
}

} // namespace zelvora
