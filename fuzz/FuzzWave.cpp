// The bytes as a sound file, registered with CSound::LoadSound on the silent sound device of
// a headless window, and played.
#include "FuzzSupport.h"
#include "audio/Sound.h"
#include "platform/headless/HeadlessWindow.h"

namespace {

// The silent device, but reading every sample byte it is given, as a real device copies
// them: samples said to lie past the file show up under AddressSanitizer, and more samples
// than the file can hold after its headers fail the check.
class CReadingSoundDevice final : public platform::IDirectSound {
  public:
    CReadingSoundDevice(std::unique_ptr<platform::IDirectSound> silent, const std::size_t* fileSize)
        : m_pSilent(std::move(silent)), m_pFileSize(fileSize) {}

    std::unique_ptr<platform::ISoundBuffer> CreateBuffer(const platform::SWaveFormat& format,
                                                         const std::uint8_t* data,
                                                         std::size_t bytes) override {
        FUZZ_CHECK(bytes == 0 || bytes + 20 <= *m_pFileSize);
        unsigned sum = 0;
        for (std::size_t i = 0; i < bytes; ++i) {
            sum += data[i];
        }
        m_Sum = sum;
        return m_pSilent->CreateBuffer(format, data, bytes);
    }
    std::unique_ptr<platform::ISoundBuffer>
    DuplicateBuffer(platform::ISoundBuffer& original) override {
        return m_pSilent->DuplicateBuffer(original);
    }
    std::unique_ptr<platform::IMusicGraph> OpenMusic(std::string_view path,
                                                     std::string& error) override {
        return m_pSilent->OpenMusic(path, error);
    }

  private:
    std::unique_ptr<platform::IDirectSound> m_pSilent;
    const std::size_t* m_pFileSize;
    volatile unsigned m_Sum = 0;
};

// A headless window whose sound device is the reading one.
class CWindow final : public platform::IWindow {
  public:
    CWindow() : m_Window(640, 480) {}
    std::size_t fileSize = 0;

    bool PeekMessage(platform::SMessage& message) override { return m_Window.PeekMessage(message); }
    void Destroy() override { m_Window.Destroy(); }
    bool IsDestroyed() const override { return m_Window.IsDestroyed(); }
    void SetIcon(const platform::SImage& icon) override { m_Window.SetIcon(icon); }
    int GetWidth() const override { return m_Window.GetWidth(); }
    int GetHeight() const override { return m_Window.GetHeight(); }
    std::vector<platform::SDisplayMode> GetDisplayModes() const override {
        return m_Window.GetDisplayModes();
    }
    std::string GetAdapterDescription() const override { return m_Window.GetAdapterDescription(); }
    int GetDesktopWidth() const override { return m_Window.GetDesktopWidth(); }
    int GetDesktopHeight() const override { return m_Window.GetDesktopHeight(); }
    std::unique_ptr<platform::IGraphicsDevice>
    CreateDevice(const platform::SPresentParameters& parameters, std::string& error) override {
        return m_Window.CreateDevice(parameters, error);
    }
    std::unique_ptr<platform::IDirectSound> CreateSoundDevice(std::string& error) override {
        std::unique_ptr<platform::IDirectSound> silent = m_Window.CreateSoundDevice(error);
        FUZZ_CHECK(silent != nullptr);
        return std::make_unique<CReadingSoundDevice>(std::move(silent), &fileSize);
    }
    std::unique_ptr<platform::IKeyboardDevice> CreateKeyboard() override {
        return m_Window.CreateKeyboard();
    }
    std::unique_ptr<platform::IMouseDevice> CreateMouse() override {
        return m_Window.CreateMouse();
    }
    std::unique_ptr<platform::IControllerDevice> CreateController() override {
        return m_Window.CreateController();
    }

  private:
    platform::CHeadlessWindow m_Window;
};

constexpr int kDuplicates = 2;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const fuzz::CEnvironment environment;
    static CWindow window;
    window.fileSize = size;
    environment.WriteData("fuzz.wav", fuzz::AsText(data, size));

    CSound sound;
    sound.Init(&window);
    sound.LoadSound("fuzz", kDuplicates);
    const SSoundInfo* info = sound.GetSound("fuzz");
    FUZZ_CHECK(info != nullptr && info->iCount == kDuplicates);
    FUZZ_CHECK(info->Duplicates.size() == static_cast<std::size_t>(kDuplicates));
    if (!info->pBuffer) {
        return 0;
    }
    // A sound that loaded sounds up to three times at once.
    for (const auto& duplicate : info->Duplicates) {
        FUZZ_CHECK(duplicate != nullptr);
    }
    for (int i = 0; i <= kDuplicates; ++i) {
        sound.Play("fuzz", false);
    }
    FUZZ_CHECK(info->pBuffer->IsPlaying());
    sound.ChangeVolume(-100);
    FUZZ_CHECK(info->pBuffer->GetVolume() == -100);
    return 0;
}
