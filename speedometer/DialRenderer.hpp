#pragma once
// The draw handler: the whole speedometer for the player's vehicle, once per frame.

// True when the vehicle record is not null and its type is one the dial applies to.
bool IsDialVehicle(const void* vehicle);

// Draws the dial's nine layers when the player sits in a dial vehicle, the five host gates
// are open and the artwork is loaded; otherwise calls nothing on the host beyond those tests.
void DrawSpeedometer();
