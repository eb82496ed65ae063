# Sources of src/update in zelvora_core; paths are relative to src/ (this file is included from there).
target_sources(zelvora_core PRIVATE
    update/CatalogueMerge.cpp
    update/ChangeReport.cpp
    update/ListingCapture.cpp
    update/ListingLineFilter.cpp
    update/ListingParsers.cpp
    update/MachineFacts.cpp
    update/MachineListing.cpp
    update/MachineRefusals.cpp
    update/RenamedSets.cpp
    update/RomFingerprints.cpp
)
