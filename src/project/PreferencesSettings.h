#pragma once
// The preferences record: values the user sets in the preferences window that other
// parts of the program read. The picture resolutions of the three import quality
// levels are stored under "ImageDPILevel0" to "ImageDPILevel2" of the shared settings
// store, where the image helpers read them.

#include <QMutex>
#include <array>

class PreferencesSettings
{
public:
    static constexpr int QualityLevelCount = 3;

    // An instance filled from the store; the program uses shareInstance().
    PreferencesSettings();

    static PreferencesSettings *shareInstance();

    void loadSettings();
    void saveSettings();

    // Dots per inch of a quality level (0 best to 2); the level's default when the
    // level is out of range.
    int imageDPILevel(int level) const;
    // Sets the resolution of a level. Refuses levels out of range and resolutions
    // outside 36 to 1200 DPI (returns false).
    bool setImageDPILevel(int level, int dpi);

    // 216, 144 and 120 DPI.
    static int defaultImageDPI(int level);

private:
    mutable QMutex m_mutex;
    std::array<int, QualityLevelCount> m_dpi{};
};
