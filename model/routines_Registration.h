// Registers every class of the project model with the stream reader.
#pragma once

void RegisterModelClasses();
