#include "apps/loader/routines_Loader.h"

bool ReadLoaderTrailer(TStream& OwnFile, int64_t ImageEnd, TSelfExtractTrailer& Trailer) {
  return ReadDistributionTrailer(OwnFile, ImageEnd, Trailer);
}

std::string QuoteArgument(const std::string& Arg) {
  TLoaderText Line;
  AppendQuotedArgument(Line, Arg.c_str());
  return std::string(Line.Text(), Line.Length());
}

std::string SetupCommandLine(const std::string& SetupProgram, const TLoaderPlan& Plan) {
  TLoaderText Line;
  AppendSetupCommandLine(Line, SetupProgram.c_str(), Plan.SourceDir.c_str(), Plan.SelfExtractName.c_str(),
                         Plan.ToDisk);
  return std::string(Line.Text(), Line.Length());
}
