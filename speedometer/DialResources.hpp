#pragma once
// The dial's artwork, as loaded from the host.

// The host texture record the dial draws with; null until the artwork is loaded.
extern void* DialTexture;
