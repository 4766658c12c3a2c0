#pragma once

// True when the operating system saves the SSE registers across task switches
// (IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE), which Windows 95 lacks).
bool OsEnablesSse();

// Picks the simulation's reciprocal path once, at start-up.
void ChooseReciprocalPath();
