// Makes the classes of registry keys, links and link groups known to the
// project stream reader.
#pragma once

void RegisterSystemClasses();
