#!/usr/bin/env python3
"""Turns the benchmark data set's names into Japanese names in CP932.

usage: cp932_names.py PREFIX

Rewrites the 16-byte Name item (offset 16) of every 32-byte record of PREFIX.bin with a
Japanese name in CP932, zero padded, and the last column of PREFIX.expected.txt with the same
name in UTF-8; writes PREFIX.cp932.txt, the same text with the names in CP932, which is what a
target without an encoding writes and reads. The names are drawn deterministically from fixed
lists of common characters (kanji, hiragana, katakana, half-width katakana, a few ASCII
letters), none of them a code page duplicate, so each comes back as the same bytes; some fill
all 16 bytes.
"""
import random
import sys

NAME_OFFSET = 16
NAME_SIZE = 16
RECORD_SIZE = 32
SEED = 20261207

SURNAMES = (
    "佐藤 鈴木 高橋 田中 伊藤 渡辺 山本 中村 小林 加藤 吉田 山田 佐々木 山口 松本 井上 木村 林 "
    "清水 山崎 森 池田 橋本 阿部 石川 山下 中島 石井 小川 前田 岡田 長谷川 藤田 後藤 近藤 村上 "
    "遠藤 青木 坂本 福田 太田 西村 藤井 金子 岡本 藤原 中野 三浦 原田 中川 松田 竹内 小野 "
    "田村 中山 和田 石田 森田 上田 原 柴田 酒井 工藤 横山 宮本 内田 高木 安藤 島田 谷口 大野 "
    "丸山 今井 武田 村田 上野 杉山 増田 大塚 平野 菅原 久保 松井 千葉 木下 野口 松尾 野村 能登"
).split()
KANJI_GIVEN = (
    "太郎 花子 健太 翔太 大輝 美咲 陽菜 結衣 蓮 悠真 湊 陽翔 芽依 葵 凛 美月 真央 拓海 "
    "健一 誠 直樹 明美 恵子 裕子 浩 隆 剛 愛 彩 優子 和也 達也 大和 春香 千尋 光 表太"
).split()
HIRAGANA_GIVEN = "さくら ひなた ゆい あおい めい こはる はると ゆうと みずき ちひろ かえで ほのか あかり".split()
KATAKANA = (
    "サトウ スズキ タナカ ケン ユウキ ミサキ サクラ ハルカ ソウタ マリア エミリ ジョン ノア "
    "レオ アンナ ルイ カイト リョウ ヒカル ツバサ"
).split()
HALF_WIDTH = "ｻﾄｳ ｽｽﾞｷ ﾀﾅｶ ﾀﾛｳ ﾊﾅｺ ｹﾝﾀ ﾐｻｷ ﾕｳｷ ﾔﾏﾀﾞ ｺﾊﾞﾔｼ ｲﾄｳ ﾜﾀﾅﾍﾞ ﾋﾛｼ ﾊﾟﾝ".split()
LETTERS = "A B K M S T Y Aya Ken Mika Ryo Yuki Sho".split()


def name_of(rng):
    def pick(words):
        return words[int(rng.random() * len(words))]

    form = int(rng.random() * 16)
    if form < 6:
        name = pick(SURNAMES) + pick(KANJI_GIVEN)
    elif form < 9:
        name = pick(SURNAMES) + pick(HIRAGANA_GIVEN)
    elif form < 11:
        name = pick(KATAKANA) + pick(KATAKANA)
    elif form < 13:
        name = pick(HALF_WIDTH) + pick(HALF_WIDTH) + pick(HALF_WIDTH)
    elif form < 14:
        name = pick(SURNAMES) + pick(LETTERS)
    elif form < 15:
        name = pick(LETTERS) + pick(KATAKANA)
    else:
        # Longer than the item: cut to whole characters below, mostly filling all 16 bytes.
        name = pick(SURNAMES) + pick(KANJI_GIVEN) + pick(HIRAGANA_GIVEN) + pick(HALF_WIDTH)
    while len(name.encode("cp932")) > NAME_SIZE:
        name = name[:-1]
    return name


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    prefix = sys.argv[1]
    with open(prefix + ".bin", "rb") as f:
        binary = bytearray(f.read())
    with open(prefix + ".expected.txt", "rb") as f:
        lines = f.read().split(b"\r\n")
    # The header first, and the empty rest after the last line end.
    count = len(binary) // RECORD_SIZE
    if len(lines) != count + 2 or lines[-1]:
        sys.exit("cp932_names.py: %s.expected.txt does not have one line per record" % prefix)

    rng = random.Random(SEED)
    utf8_lines = [lines[0]]
    cp932_lines = [lines[0]]
    for index in range(count):
        name = name_of(rng)
        encoded = name.encode("cp932")
        if encoded.decode("cp932") != name:
            sys.exit("cp932_names.py: %r does not come back from CP932" % name)
        start = index * RECORD_SIZE + NAME_OFFSET
        binary[start:start + NAME_SIZE] = encoded.ljust(NAME_SIZE, b"\0")
        # The name is the last column.
        line = lines[index + 1]
        head = line[: line.rindex(b",") + 1]
        utf8_lines.append(head + name.encode("utf-8"))
        cp932_lines.append(head + encoded)
    utf8_lines.append(b"")
    cp932_lines.append(b"")

    with open(prefix + ".bin", "wb") as f:
        f.write(binary)
    with open(prefix + ".expected.txt", "wb") as f:
        f.write(b"\r\n".join(utf8_lines))
    with open(prefix + ".cp932.txt", "wb") as f:
        f.write(b"\r\n".join(cp932_lines))


if __name__ == "__main__":
    main()
