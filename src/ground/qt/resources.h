#pragma once
// The program's pictures are compiled into kelvo_qt, a static library whose
// resource object the linker would otherwise leave out: every form that
// shows a picture calls this first.
namespace kelvo {
void init_resources();
}
