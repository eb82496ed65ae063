#pragma once

namespace zelvora {

// Which MAME the program talks to: the MAME of the late 1990s, with its fixed-column listings,
// PCX screenshots and DOS-era switches, or today's MAME, which answers "-version".
enum class MameKind { Classic, Today };

} // namespace zelvora
