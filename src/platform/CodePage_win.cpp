#include "platform/CodePage.h"

#include <windows.h>

namespace platform {

bool IsLeadByte(unsigned char c) { return IsDBCSLeadByte(c) != 0; }
unsigned AnsiCodePage() { return GetACP(); }

}  // namespace platform
