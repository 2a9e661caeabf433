#pragma once
// The system's multi-byte code page (949 on the PCs this tool serves).
namespace platform {

// True when c starts a double-byte character in the ANSI code page.
bool IsLeadByte(unsigned char c);
// The ANSI code page the process runs with.
unsigned AnsiCodePage();

}  // namespace platform
