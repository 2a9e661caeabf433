#pragma once
// The kind of target: one folder on this PC, or a range of network PCs. The
// settings file stores it as its number, so the values never change.
enum class OperationMode { Local = 0, Network = 1 };
