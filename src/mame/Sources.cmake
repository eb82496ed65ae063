# Sources of src/mame in zelvora_core; paths are relative to src/ (this file is included from there).
target_sources(zelvora_core PRIVATE
    mame/ClassicMame.cpp
    mame/GameCommand.cpp
    mame/Mame.cpp
    mame/MameConfig.cpp
    mame/MameVersion.cpp
    mame/OptionTable.cpp
    mame/TodaysMame.cpp
    mame/TodaysOptions.cpp
)
