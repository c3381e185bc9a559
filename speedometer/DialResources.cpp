#include "speedometer/DialResources.hpp"

void* DialTexture = nullptr;
