#pragma once

// Which way a search of the traffic goes: towards the end, or back towards the start.
enum class ScanDirection { Forward, Backward };
