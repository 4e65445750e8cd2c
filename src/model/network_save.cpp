#include "model/network_save.h"
#include "model/safe_file.h"

#include "model/Gustrom1.h"
#include "model/defaults_block.h"
#include "model/fan_file.h"
#include "model/file_dialogs.h"
#include "model/file_note.h"
#include "model/levels_views.h"
#include "model/recent_files.h"
#include "model/record_line.h"
#include "model/recovery_copy.h"
#include "model/text_files.h"
#include "model/undo.h"
#include "model/upper_layers.h"
#include "platform/Dialogs.h"
#include "platform/System.h"
#include "platform/VBError.h"

#include "platform/Text1252.h"

#include <QCryptographicHash>
#include <QFile>
#include <algorithm>
#include <memory>
#include <openssl/evp.h>
#include <system_error>
#include <vector>

namespace {

// The network file this program last read or wrote, and the digest of the bytes it held then.
std::string knownFile;
std::string knownDigest;

void writeViewLine(TextFileWriter &out, int slot) {
    out.Print(ViewName(slot));
    out.Tab();
    for (int f = 1; f <= 22; ++f) {
        out.PrintNumber(ViewSingles(slot, f));
        out.Tab();
    }
    for (int f = 1; f <= 5; ++f) {
        out.PrintNumber(static_cast<double>(ViewCurrency(slot, f)) / CurrencyScale);
        out.Tab();
    }
    for (int f = 23; f <= 27; ++f) {
        out.PrintNumber(ViewSingles(slot, f));
        out.Tab();
    }
    out.EndLine();
}

void writeLayer(TextFileWriter &out, int32_t number, const std::string &name, bool visible) {
    out.PrintNumber(number);
    out.Tab();
    out.Print(name);
    out.Tab();
    out.PrintNumber(int32_t{visible ? -1 : 0});
    out.EndLine();
}

bool fanIsWritten(int f) {
    // A named fan without a curve is kept too, so that its name survives.
    return FanCurvePressure(1, 1, f) != 0 || FanCurvePressure(2, 1, f) != 0 || !FanName(f).empty();
}

bool confirmMasterSave() {
    return VB::MsgBox("You are about to save as a Master file - are you sure ?", VB::vbYesNo | VB::vbQuestion,
                      "Master File") == VB::vbYes;
}

std::string oneLine(std::string text) {
    ReplaceControlCharacters(text);
    return text;
}

} // namespace

// SHA-256 through the system's crypto library, which uses the processor's SHA instructions where it has
// them: several times faster than Qt's own code, which a save of a large network waited on twice. Qt's
// gives the same digest should the library fail (it can only run out of memory).
std::string ContentDigest(std::string_view bytes) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_sha256(), nullptr) == 1)
        return std::string(reinterpret_cast<const char *>(digest), length);
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toStdString();
}

std::future<std::string> ContentDigestBeside(std::string_view bytes) {
    const auto work = [bytes] { return ContentDigest(bytes); };
    try {
        return std::async(std::launch::async, work);
    } catch (const std::system_error &) {
        return std::async(std::launch::deferred, work);
    }
}

void NoteNetworkFileDigest(const std::string &path, std::string digest) {
    knownFile = path;
    knownDigest = std::move(digest);
}

bool MoveToTopOfRecentFiles(const std::string &name) {
    // Each file once, by its whole name: the entry opens it from whatever folder the program runs in, and
    // an entry of an older run that names it otherwise (relative, through a link) is the same entry.
    const std::string fileName = VB::WholeFilePath(name);
    if (RecentFiles(1) == fileName)
        return false;
    int found = 0;
    for (int i = 1; i <= 9 && found == 0; ++i)
        if (!RecentFiles(i).empty() && VB::WholeFilePath(RecentFiles(i)) == fileName)
            found = i;
    if (found == 0)
        found = 9;
    for (int i = found; i > 1; --i)
        RecentFiles(i) = RecentFiles(i - 1);
    RecentFiles(1) = fileName;
    return true;
}

void WriteNetworkFile(TextFileWriter &out) {
    const char sep = VB::LocaleDecimalSeparator();
    // 1. Header.
    out.Print(std::string("3") + sep + "1 GUSTROM3");
    out.Tab();
    out.Print(oneLine(NetworkTitle));
    out.Tab();
    out.PrintNumber(int32_t{(1 - AxisSignX) / 2});
    out.Tab();
    out.PrintNumber(int32_t{(1 - AxisSignY) / 2});
    out.Tab();
    std::string note = FileNote;
    out.Print(EncodeText(note));
    out.Tab();
    out.PrintNumber(FanDataRevision);
    out.EndLine();
    // 2. Settings.
    out.Print("Defaults List for Network");
    out.EndLine();
    WriteNetworkDefaults(out);
    // 3. Views: the startup view, then the named views.
    out.Print("Saved Views");
    out.EndLine();
    writeViewLine(out, 0);
    for (int v = 6; v <= 99; ++v)
        if (!ViewName(v).empty())
            writeViewLine(out, v);
    out.Print("End of saved views");
    out.Tab();
    out.EndLine();
    // 4. Layer names.
    out.Print("Tag List");
    out.EndLine();
    for (int n = 1; n <= 16; ++n)
        if (!PrimaryLayerName(n).empty())
            writeLayer(out, n, oneLine(PrimaryLayerName(n)), PrimaryLayerVisible(n));
    for (int n = 1; n <= 48; ++n)
        if (!SecondaryLayerName(n).empty())
            writeLayer(out, -n, oneLine(SecondaryLayerName(n)), SecondaryLayerVisible(n));
    out.Print("End of Tag List");
    out.EndLine();
    // 5. Fan database.
    out.Print("Fan Name/Point\tPressure Pa\tQuantity m3/s\tMax Fans=\t");
    out.PrintNumber(int32_t{MaxFans});
    out.EndLine();
    for (int f = 1; f <= MaxFans; ++f) {
        if (!fanIsWritten(f))
            continue;
        out.Print(oneLine(FanName(f)));
        out.Tab();
        out.PrintNumber(FanDiameter(f));
        out.Tab();
        out.PrintNumber(int32_t{f});
        out.EndLine();
        for (int p = 1; p <= 10; ++p) {
            out.PrintNumber(int32_t{p});
            out.Tab();
            out.PrintNumber(FanCurvePressure(1, p, f));
            out.Tab();
            out.PrintNumber(FanCurveFlow(p, f));
            out.Tab();
            out.PrintNumber(int32_t{FanCurveEfficiency(p, f)});
            out.Tab();
            out.PrintNumber(FanCurvePressure(2, p, f));
            out.EndLine();
        }
    }
    out.Print("**End of Fan Database**");
    out.EndLine();
    // 6. Levels.
    out.Print("RL Name\tRL Max\tRL Min");
    out.EndLine();
    for (int l = 1; l <= 249; ++l) {
        // The same end as the level list's: every level listed is saved.
        if (IsUnusedLevel(l))
            break;
        out.Print(oneLine(LevelName(l)));
        out.Tab();
        out.PrintNumber(LevelRange(l, 1));
        out.Tab();
        out.PrintNumber(LevelRange(l, 2));
        out.EndLine();
    }
    out.Print("**END OF RL LIST**");
    out.EndLine();
    // 7. Floating texts.
    for (int t = 1; t <= MaxFloatingTexts; ++t) {
        if (!FloatingTextUsed(t))
            continue;
        std::string text = oneLine(FloatingTextString(t));
        out.Print(text.empty() ? std::string(" ") : text);
        for (int c = 1; c <= 3; ++c) {
            out.Tab();
            out.PrintNumber(FloatingTextPosition(c, t));
        }
        out.EndLine();
    }
    out.Print("**End Of Floating Text");
    out.EndLine();
    // 8. Airways.
    out.Print(AirwayHeadingLine('\t'));
    out.EndLine();
    // An airway line is some 130 bytes.
    out.Reserve(out.Text().size() + static_cast<std::size_t>(std::max(AirwayCount, 0)) * 160);
    std::string line;
    line.reserve(256);
    // Undo stamps belong to this session's undo log (a loaded network has none), not to the network.
    for (int a = 1; a <= AirwayCount; ++a) {
        out.Print(AirwayLine(line, a, false, sep));
        out.EndLine();
    }
}

namespace {

// A save while the smoke display is on is refused: the display has replaced what the airways show.
bool refusedForSmoke() {
    VB::DoEvents();
    if (SmokeMode == 0)
        return false;
    VB::MsgBox("Clear gas simulation first !", VB::vbOKOnly);
    Upper().Redraw();
    return true;
}

// The whole file at path, view slot 0 holding the current view; a failure throws VBError. With `digest`,
// the digest of the bytes written is worked out beside the write, so that the save waits for one of them
// only.
void writeWholeNetwork(const std::string &path, bool ownerOnly, std::string *digest = nullptr) {
    AddNamedView(0, 0, "startupview");
    TextFileWriter out;
    WriteNetworkFile(out);
    const std::string &bytes = out.Text();
    // Declared after `out`, so that a failed write waits for the digest before the bytes go.
    std::future<std::string> worked;
    if (digest != nullptr)
        worked = ContentDigestBeside(bytes);
    ReplaceFileContents(path, bytes, ownerOnly);
    if (digest != nullptr)
        *digest = worked.get();
}

// The digest of a file's bytes, read a piece at a time rather than copied whole; empty when the file
// cannot be read to its end.
std::string fileDigest(QFile &file) {
    std::unique_ptr<EVP_MD_CTX, void (*)(EVP_MD_CTX *)> context(EVP_MD_CTX_new(), EVP_MD_CTX_free);
    QCryptographicHash qtHash(QCryptographicHash::Sha256);
    const bool library = context != nullptr && EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) == 1;
    std::vector<char> piece(64 * 1024);
    for (;;) {
        const qint64 read = file.read(piece.data(), static_cast<qint64>(piece.size()));
        if (read < 0)
            return {};
        if (read == 0)
            break;
        if (library)
            EVP_DigestUpdate(context.get(), piece.data(), static_cast<std::size_t>(read));
        else
            qtHash.addData(QByteArrayView(piece.data(), static_cast<qsizetype>(read)));
    }
    if (!library)
        return qtHash.result().toStdString();
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    EVP_DigestFinal_ex(context.get(), digest, &length);
    return std::string(reinterpret_cast<const char *>(digest), length);
}

// Whether the file holds other bytes than this program last read from or wrote to it. A file this program
// never read or wrote, or one that is gone or cannot be read, gives nothing to compare with.
bool changedOnDisk(const std::string &path) {
    if (path != knownFile)
        return false;
    QFile file(ToQt(path));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return fileDigest(file) != knownDigest;
}

// A save over a file that another program wrote since it was opened here would lose that program's work:
// it is replaced only with a yes.
bool confirmReplacingChangedFile(const std::string &path) {
    return !changedOnDisk(path) ||
           VB::MsgBox("The file " + path +
                          " has been changed on disk since this program opened or saved it, perhaps by "
                          "another program.\r\n\r\nReplace it with this network? No leaves the file as "
                          "it is; Save As can keep this network under another name.",
                      VB::vbYesNo | VB::vbQuestion | VB::vbDefaultButton2, "File Changed") == VB::vbYes;
}

std::string saveErrorText(int number) {
    return FileErrorText(number, "ERROR 53: That file doesn't exist.",
                         "ERROR " + std::to_string(number) + " occurred saving file");
}

// Writes the network to path, stamping the note; the note keeps no stamp when nothing was written.
bool writeNetworkTo(const std::string &path) {
    const uint8_t savedBefore = NetworkSaved;
    const std::string noteBefore = FileNote;
    StampFileNote();
    VB::SetScreenPointer(VB::vbHourglass);
    try {
        std::string digest;
        writeWholeNetwork(path, false, &digest);
        NoteNetworkFileDigest(path, std::move(digest));
    } catch (const VBError &e) {
        StatusText = saveErrorText(e.number);
        VB::SetScreenPointer(VB::vbDefault);
        NetworkSaved = savedBefore;
        FileNote = noteBefore;
        ShowFileNote();
        VB::MsgBox(StatusText, VB::vbExclamation);
        return false;
    }
    VB::SetScreenPointer(VB::vbDefault);
    // Storing an unchanged list would only rewrite the settings store.
    if (MoveToTopOfRecentFiles(path))
        AddRecentFile();
    NetworkSaved = 255;
    return true;
}

// The recovery copy is no save of the network: it asks nothing, is written whatever the file or the
// display, and leaves the note, its window and the saved state as they are. The copy carries the note as
// it stands, without a save stamp: the network was saved nowhere. Only the user may read the copy.
bool writeRecoveryCopy() {
    const uint8_t savedBefore = NetworkSaved;
    const std::string liveNote = FileNote;
    FileNote = CurrentFileNote();
    bool written = true;
    try {
        const std::string copy = RecoveryCopyPath();
        if (copy.empty())
            throw VBError(VBErr::PathNotFound, "no private folder");
        writeWholeNetwork(copy, true);
        NoteRecoveryCopy(NetworkFileName, NetworkTitle, TimeAndDateText(VB::Now()));
    } catch (const VBError &e) {
        StatusText = saveErrorText(e.number);
        written = false;
    }
    FileNote = liveNote;
    NetworkSaved = savedBefore;
    if (!written)
        VB::MsgBox(StatusText, VB::vbExclamation);
    return written;
}

} // namespace

bool SaveNetwork(int mode) {
    if (ActiveWindow == -1)
        return false;
    if (mode == 1)
        return writeRecoveryCopy();
    if (refusedForSmoke())
        return false;
    // An unnamed network needs a name first; Save As comes back here with one.
    if (NetworkFileName.empty())
        return SaveNetworkAs();
    if (MasterFile && !confirmMasterSave())
        return false;
    if (!confirmReplacingChangedFile(NetworkFileName))
        return false;
    return writeNetworkTo(NetworkFileName);
}

bool SaveNetworkTo(const std::string &path) {
    if (ActiveWindow == -1 || refusedForSmoke())
        return false;
    if (IsMasterFileName(path) && !confirmMasterSave())
        return false;
    return writeNetworkTo(path);
}
