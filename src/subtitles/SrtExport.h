#pragma once

namespace sorvane {

class TextCodec;
struct WindowState;

// Saves what the last load left in the settings (`OnSrtSave`): "Format" as
// "Format.srt" and "Sample" as "Sample.txt" in the program folder, each in
// the character set the file was read in. Nothing is shown on success; a
// failed write shows the codec's box and the other file is still written.
class SrtExport {
public:
    SrtExport(WindowState &state, TextCodec &codec) : m_state(state), m_codec(codec) {}
    void OnSrtSave();

private:
    WindowState &m_state;
    TextCodec &m_codec;
};

} // namespace sorvane
