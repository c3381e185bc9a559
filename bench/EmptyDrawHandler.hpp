#pragma once
// The draw event with one handler that does nothing, for timing the hook path alone.

// Adds the empty handler to DrawEvent's `after` list, which hooks the draw site.
void AddEmptyDrawHandler();
