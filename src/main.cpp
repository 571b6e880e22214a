// cadenzor: composes and runs work cycles on the Kelvo autosampler.
#include "app/qt/cadenzor_app.h"

int main(int argc, char** argv) { return kelvo::run_cadenzor(argc, argv); }
