#pragma once

// Why background work waits: the computer runs on battery or in the
// power-saver profile. Battery comes first when both hold.
enum class PowerSaving { none, battery, powerSaver };
