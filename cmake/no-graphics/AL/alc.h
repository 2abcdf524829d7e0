// Stands first on the include path of the core, the sound layer and every program without a window.
#error "the core, the sounds and the windowless programs play nothing: OpenAL belongs to the front ends (front/OpenAlSound.cpp)"
