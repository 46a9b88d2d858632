#pragma once
// Modal message boxes with no owner window. Texts are UTF-8 (convert Windows-1250 first).
#include <string>

namespace morvane {

enum class MessageIcon { none, information, stop };

// Shows the box and waits until it is closed. Returns false when no box could be shown
// (no display); the text is then written to stderr instead, so it is never lost.
bool showMessageBox(const std::string& textUtf8, const std::string& captionUtf8,
                    MessageIcon icon = MessageIcon::none);

}  // namespace morvane
