#include "platform/CodePage.h"

namespace platform {

// CP949 (Unified Hangul Code) lead bytes.
bool IsLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
unsigned AnsiCodePage() { return 949; }

}  // namespace platform
