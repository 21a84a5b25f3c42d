// The kit's language tables travel as text files named by their language
// (qrviEnglish.txt ...) in the table format.  The setup program reads tables
// only from its project; these turn the files into the translator a project
// carries.
#pragma once

#include <string>
#include <vector>

#include "i18n/cmp_TTranslator.h"

// Loads the table file of every language that has one in Dir into that
// language of the translator; returns the languages loaded, in their order.
// A table with a format error raises IException naming the file.
std::vector<TQrvnLanguage> LoadLanguageFiles(TTranslator& Translator, const std::string& Dir);

// The translator as an object in the text form of a project
// ("object Translator1: TTranslator ... end"), ready to be placed among the
// main form's objects.
std::string TranslatorToText(TTranslator& Translator);
