#include "resources/ResourcePaths.h"

// Only here so that the test reaches the resources through a static library of its own.
QString ProbeIconPath()
{
    return izuzez::IconResourcePath();
}
