#pragma once

namespace sorvane {

class Main;

// Saves what the last load left in the settings (`OnSrtSave`): "Format" as
// "Format.srt" and "Sample" as "Sample.txt" in the program folder, each in
// the character set the file was read in. Nothing is shown on success; a
// failed write shows the codec's box and the other file is still written.
class SrtExport {
public:
    explicit SrtExport(Main &main) : m_main(main) {}
    void OnSrtSave();

private:
    Main &m_main;
};

} // namespace sorvane
