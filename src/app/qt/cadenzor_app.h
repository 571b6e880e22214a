#pragma once
// The cadenzor program: creates the application, its forms and runs the
// message loop. Kept free of Qt includes so that main.cpp is too.
namespace kelvo {
int run_cadenzor(int argc, char** argv);
}
