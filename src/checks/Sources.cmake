# Sources of src/checks in zelvora_core; paths are relative to src/ (this file is included from there).
target_sources(zelvora_core PRIVATE
    checks/PresenceChecks.cpp
    checks/AuditRuns.cpp
    checks/RomAudit.cpp
    checks/RomVerification.cpp
    checks/VerifyReport.cpp
)
