// Writes the binary files of the bundled examples: the item table (plain and encrypted), the
// code table pair that encrypts it, a file of login records as the system keeps them, and a
// table of Japanese names in CP932. The
// output is the same on every run, so the files kept in examples/ can be checked against it byte
// for byte.
//
//   morvane_make_examples FOLDER    writes FOLDER/data/*.dat, FOLDER/data/wtmp and FOLDER/tables/*.tbl

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;
using Table = std::array<std::uint8_t, 256>;

// Kind codes, as named in defs/kinds.tsv.
enum Kind : std::uint8_t { weapon, armor, shield, potion, scroll, material, key, accessory };

// Bits of the flags byte, least significant first, as the record definition names them.
enum Flag : std::uint8_t {
    sell = 1 << 0,
    stack = 1 << 1,
    quest = 1 << 2,
    cursed = 1 << 3,
    trade = 1 << 4,
    unique = 1 << 5,
    use = 1 << 6,
    equip = 1 << 7,
};

struct CItem {
    const char* name; // at most 15 bytes: the record keeps a zero after it
    Kind kind;
    std::uint32_t price;
    std::uint16_t weight; // grams
    std::int16_t attack;
    std::int16_t defense;
    std::uint8_t level;
    std::int8_t luck;
    std::uint8_t flags;
};

constexpr std::uint8_t kGear = sell | trade | equip;
constexpr std::uint8_t kGoods = sell | stack | trade;
constexpr std::uint8_t kUsable = sell | stack | trade | use;

// The item table; an item's ID is its record number.
const CItem kItems[] = {
    {"Wooden Club", weapon, 15, 1800, 4, 0, 1, 0, kGear},
    {"Bronze Sword", weapon, 120, 2200, 9, 0, 3, 0, kGear},
    {"Iron Sword", weapon, 450, 2600, 15, 0, 8, 0, kGear},
    {"Steel Saber", weapon, 1800, 2400, 24, 0, 15, 2, kGear},
    {"Mithril Blade", weapon, 25000, 1500, 42, 3, 30, 5, kGear},
    {"Cursed Dagger", weapon, 66, 600, 31, -12, 20, -25, cursed | equip},
    {"Hunting Bow", weapon, 300, 1100, 12, 0, 6, 1, kGear},
    {"Oak Staff", weapon, 90, 1600, 6, 2, 2, 3, kGear},
    {"Leather Vest", armor, 80, 4000, 0, 5, 1, 0, kGear},
    {"Chain Mail", armor, 900, 12000, 0, 14, 10, -2, kGear},
    {"Plate Armor", armor, 6500, 22000, -3, 30, 22, -5, kGear},
    {"Silk Robe", armor, 1200, 900, 0, 4, 12, 6, kGear},
    {"Wooden Shield", shield, 40, 3500, 0, 3, 1, 0, kGear},
    {"Kite Shield", shield, 700, 6000, 0, 10, 9, 0, kGear},
    {"Tower Shield", shield, 3100, 15000, -2, 21, 18, -3, kGear},
    {"Healing Potion", potion, 25, 300, 0, 0, 1, 0, kUsable},
    {"Greater Potion", potion, 150, 300, 0, 0, 10, 0, kUsable},
    {"Antidote", potion, 18, 200, 0, 0, 1, 0, kUsable},
    {"Elixir", potion, 9800, 300, 0, 0, 25, 10, kUsable},
    {"Scroll of Fire", scroll, 240, 50, 35, 0, 12, 0, kUsable},
    {"Scroll of Return", scroll, 60, 50, 0, 0, 1, 0, kUsable},
    {"Scroll of Ward", scroll, 380, 50, 0, 8, 14, 0, kUsable},
    {"Iron Ore", material, 12, 5000, 0, 0, 1, 0, kGoods},
    {"Mithril Ore", material, 2200, 4000, 0, 0, 20, 0, kGoods},
    {"Wolf Pelt", material, 35, 1200, 0, 0, 3, 0, kGoods},
    {"Dragon Scale", material, 1250000, 2500, 0, 0, 40, 4, kGoods | unique},
    {"Rusty Key", key, 0, 100, 0, 0, 1, 0, quest},
    {"Crypt Key", key, 0, 100, 0, 0, 16, 0, quest | unique},
    {"Royal Seal", key, 0, 200, 0, 0, 28, 0, quest | unique},
    {"Ring of Luck", accessory, 5400, 20, 0, 0, 14, 40, kGear},
    {"Silver Amulet", accessory, 2600, 80, 0, 2, 11, 12, kGear},
    {"Bone Charm", accessory, 45, 60, 0, 0, 4, -8, cursed | equip},
    {"Gold Crown", accessory, 125000, 1400, 0, 1, 1, 3, kGear | unique},
    {"Lucky Coin", accessory, 1, 10, 0, 0, 1, 7, sell | stack | trade},
};

constexpr std::size_t kItemCount = sizeof kItems / sizeof kItems[0];
constexpr std::size_t kNameLength = 16;
constexpr std::size_t kReservedLength = 2;

void PutLow(Bytes& out, std::uint32_t value, int bytes) { // least significant byte first ("R")
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutHigh(Bytes& out, std::uint32_t value, int bytes) { // most significant byte first ("N")
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void PutText(Bytes& out, const char* text, std::size_t length) { // zero-padded
    const std::string value = text;
    for (std::size_t i = 0; i < length; ++i) out.push_back(i < value.size() ? value[i] : 0);
}

// The file: an 8-byte header ("ITEM", version 1, item count), then one 36-byte record per item.
Bytes ItemFile() {
    Bytes out {'I', 'T', 'E', 'M'};
    PutLow(out, 1, 2);
    PutLow(out, kItemCount, 2);
    for (std::size_t id = 0; id < kItemCount; ++id) {
        const CItem& item = kItems[id];
        PutLow(out, static_cast<std::uint32_t>(id), 4);
        PutHigh(out, item.price, 4);
        PutLow(out, item.weight, 2);
        PutLow(out, static_cast<std::uint16_t>(item.attack), 2);
        PutHigh(out, static_cast<std::uint16_t>(item.defense), 2);
        out.push_back(item.level);
        out.push_back(static_cast<std::uint8_t>(item.luck));
        out.push_back(item.flags);
        out.push_back(item.kind);
        PutText(out, item.name, kNameLength);
        out.insert(out.end(), kReservedLength, 0);
    }
    return out;
}

// Login record types, as named in defs/utmp-types.tsv.
enum LoginType : std::int16_t { runLevel = 1, bootTime = 2, loginProcess = 6, userProcess = 7, deadProcess = 8 };

struct CLogin {
    LoginType type;
    std::int32_t pid;
    const char* line; // at most 32 bytes, as are the user; the id at most 4, the host at most 256
    const char* id;
    const char* user;
    const char* host;
    std::int16_t termination, exit;
    std::int32_t session;
    std::int32_t seconds, microseconds;
    std::array<std::uint8_t, 16> address; // network byte order; an IPv4 address in the first four
};

// A boot, a console login, two remote logins (IPv4 and IPv6), their ends and a shutdown. The
// addresses and host names are reserved for documentation.
const CLogin kLogins[] = {
    {bootTime, 0, "~", "~~", "reboot", "6.1.0-18-amd64", 0, 0, 0, 1709629200, 0, {}},
    {runLevel, 'N' << 8 | '5', "~", "~~", "runlevel", "6.1.0-18-amd64", 0, 0, 0, 1709629207, 118204, {}},
    {loginProcess, 612, "tty1", "tty1", "LOGIN", "", 0, 0, 612, 1709629207, 503771, {}},
    {userProcess, 612, "tty1", "tty1", "alice", "", 0, 0, 612, 1709629341, 90122, {}},
    {userProcess, 1042, "pts/0", "ts/0", "bob", "192.0.2.17", 0, 0, 1042, 1709630015, 482113, {192, 0, 2, 17}},
    {userProcess, 1107, "pts/1", "ts/1", "carol", "host.example.org", 0, 0, 1107, 1709630460, 7,
     {0x20, 0x01, 0x0d, 0xb8, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x07}},
    {deadProcess, 1042, "pts/0", "ts/0", "", "", 0, 0, 0, 1709633112, 991045, {}},
    {deadProcess, 1107, "pts/1", "ts/1", "", "", 0, 1, 0, 1709633990, 250000, {}},
    {deadProcess, 612, "tty1", "tty1", "", "", 0, 0, 0, 1709634502, 613378, {}},
    {runLevel, 0, "~~", "~~", "shutdown", "6.1.0-18-amd64", 0, 0, 0, 1709634510, 3024, {}},
};

// glibc's struct utmp on x86-64: 384 bytes, integers least significant byte first, two bytes of
// padding after the type and 20 reserved bytes at the end, all zero.
Bytes LoginFile() {
    Bytes out;
    for (const CLogin& login : kLogins) {
        PutLow(out, static_cast<std::uint16_t>(login.type), 2);
        PutLow(out, 0, 2);
        PutLow(out, static_cast<std::uint32_t>(login.pid), 4);
        PutText(out, login.line, 32);
        PutText(out, login.id, 4);
        PutText(out, login.user, 32);
        PutText(out, login.host, 256);
        PutLow(out, static_cast<std::uint16_t>(login.termination), 2);
        PutLow(out, static_cast<std::uint16_t>(login.exit), 2);
        PutLow(out, static_cast<std::uint32_t>(login.session), 4);
        PutLow(out, static_cast<std::uint32_t>(login.seconds), 4);
        PutLow(out, static_cast<std::uint32_t>(login.microseconds), 4);
        out.insert(out.end(), login.address.begin(), login.address.end());
        out.insert(out.end(), 20, 0);
    }
    return out;
}

// A character's name, its reading in half-width katakana and a note, as CP932 bytes. The notes
// hold control codes: 01 and 02 begin and end red text, 0A breaks the line, and "@" stands for
// the player's name. Some characters have a second byte that is "@" (0x40) or a backslash (0x5C).
struct CCharacter {
    const char* name; // at most 16 bytes
    const char* reading; // at most 16 bytes
    const char* note; // at most 32 bytes
};

const CCharacter kCharacters[] = {
    // 山田太郎, ﾔﾏﾀﾞ ﾀﾛｳ, 剣士<br>レベル<red>９９</red>
    {"\x8E\x52\x93\x63\x91\xBE\x98\x59", "\xD4\xCF\xC0\xDE\x20\xC0\xDB\xB3",
     "\x8C\x95\x8E\x6D\x0A\x83\x8C\x83\x78\x83\x8B\x01\x82\x58\x82\x58\x02"},
    // 佐藤花子, ｻﾄｳ ﾊﾅｺ, 魔法使い<br>@の師匠
    {"\x8D\xB2\x93\xA1\x89\xD4\x8E\x71", "\xBB\xC4\xB3\x20\xCA\xC5\xBA",
     "\x96\x82\x96\x40\x8E\x67\x82\xA2\x0A\x40\x82\xCC\x8E\x74\x8F\xA0"},
    // 鈴木一郎, ｽｽﾞｷ ｲﾁﾛｳ, 弓使い<br>「必中」
    {"\x97\xE9\x96\xD8\x88\xEA\x98\x59", "\xBD\xBD\xDE\xB7\x20\xB2\xC1\xDB\xB3",
     "\x8B\x7C\x8E\x67\x82\xA2\x0A\x81\x75\x95\x4B\x92\x86\x81\x76"},
    // 高橋美咲, ﾀｶﾊｼ ﾐｻｷ, 踊り子<br><red>ソロ</red>公演
    {"\x8D\x82\x8B\xB4\x94\xFC\x8D\xE7", "\xC0\xB6\xCA\xBC\x20\xD0\xBB\xB7",
     "\x97\x78\x82\xE8\x8E\x71\x0A\x01\x83\x5C\x83\x8D\x02\x8C\xF6\x89\x89"},
    // 田中健太, ﾀﾅｶ ｹﾝﾀ, 商人：表示価格×２
    {"\x93\x63\x92\x86\x8C\x92\x91\xBE", "\xC0\xC5\xB6\x20\xB9\xDD\xC0",
     "\x8F\xA4\x90\x6C\x81\x46\x95\x5C\x8E\xA6\x89\xBF\x8A\x69\x81\x7E\x82\x51"},
    // 伊藤さくら, ｲﾄｳ ｻｸﾗ, 僧侶<br>能力値ＵＰ
    {"\x88\xC9\x93\xA1\x82\xB3\x82\xAD\x82\xE7", "\xB2\xC4\xB3\x20\xBB\xB8\xD7",
     "\x91\x6D\x97\xB5\x0A\x94\x5C\x97\xCD\x92\x6C\x82\x74\x82\x6F"},
    // 渡辺翔, ﾜﾀﾅﾍﾞ ｼｮｳ, 盗賊～見習い～
    {"\x93\x6E\x95\xD3\xE3\xC4", "\xDC\xC0\xC5\xCD\xDE\x20\xBC\xAE\xB3",
     "\x93\x90\x91\xAF\x81\x60\x8C\xA9\x8F\x4B\x82\xA2\x81\x60"},
    // 中村ソフィア, ﾅｶﾑﾗ ｿﾌｨｱ, Guest<br>ゲスト参加
    {"\x92\x86\x91\xBA\x83\x5C\x83\x74\x83\x42\x83\x41", "\xC5\xB6\xD1\xD7\x20\xBF\xCC\xA8\xB1",
     "Guest\x0A\x83\x51\x83\x58\x83\x67\x8E\x51\x89\xC1"},
};

// Records of 66 bytes: the ID (2 bytes, least significant first), then the name, the reading and
// the note, each zero-padded.
Bytes CharacterFile() {
    Bytes out;
    std::uint16_t id = 1;
    for (const CCharacter& character : kCharacters) {
        PutLow(out, id++, 2);
        PutText(out, character.name, 16);
        PutText(out, character.reading, 16);
        PutText(out, character.note, 32);
    }
    return out;
}

// The decryption table: an odd multiplier, an offset and a mask make a permutation of 0..255.
Table DecryptTable() {
    Table table {};
    for (unsigned i = 0; i < 256; ++i) table[i] = static_cast<std::uint8_t>(((i * 167 + 59) & 0xFF) ^ 0xA5);
    return table;
}

Table Inverse(const Table& table) {
    Table inverse {};
    for (unsigned i = 0; i < 256; ++i) inverse[table[i]] = static_cast<std::uint8_t>(i);
    return inverse;
}

Bytes Substituted(const Bytes& bytes, const Table& table) {
    Bytes out;
    out.reserve(bytes.size());
    for (std::uint8_t b : bytes) out.push_back(table[b]);
    return out;
}

template <typename Container>
bool Write(const std::filesystem::path& path, const Container& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (file) return true;
    std::fprintf(stderr, "morvane_make_examples: cannot write %s\n", path.string().c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("Usage: morvane_make_examples FOLDER\n", stderr);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::error_code error;
    std::filesystem::create_directories(folder / "data", error);
    std::filesystem::create_directories(folder / "tables", error);

    const Table decrypt = DecryptTable();
    const Table encrypt = Inverse(decrypt);
    const Bytes items = ItemFile();
    // The encrypted file is the whole plain file, header included, through the encryption table.
    const bool written = Write(folder / "data" / "items.dat", items) &&
                         Write(folder / "data" / "items-encrypted.dat", Substituted(items, encrypt)) &&
                         Write(folder / "data" / "wtmp", LoginFile()) &&
                         Write(folder / "data" / "names-cp932.dat", CharacterFile()) &&
                         Write(folder / "tables" / "decrypt.tbl", decrypt) &&
                         Write(folder / "tables" / "encrypt.tbl", encrypt);
    return written ? 0 : 1;
}
