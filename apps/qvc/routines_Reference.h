// The project reference that "qvc --catalogue" prints and docs/reference.txt
// holds: every component class a project text may name, what it is for and
// where it goes, each published property with its type, default (the value
// a new object has, references included), its values and what it is for,
// the path specifiers with the folders they give, and the classes a project
// does not name itself, marked.  Types, defaults and values come from the
// classes' own metadata and instances; the sentences from the tables of
// routines_Reference.cpp.
#pragma once

#include <string>
#include <vector>

std::string ClassCatalogue();

// "Class.Property" for each published property of a class a project uses
// that the tables say nothing about (so that none goes undescribed).
std::vector<std::string> UndescribedProperties();
