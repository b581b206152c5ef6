// SPDX-License-Identifier: GPL-3.0-or-later
#include "midi/gm_program_names.h"

#include <cstddef>

#include "common/translate_mark.h"

namespace melnix {

// The English names keep their historic spellings ("Accoridan",
// "Skakuhachi"): they are what users of the program have always seen. The
// four pianos are whole: their old names were cut short ("Acoustic Grand").
const std::array<GmProgramName, kGmProgramCount> GmProgramNames = {{
    {"Acoustic Grand Piano", QT_TRANSLATE_NOOP("GmProgramNames", "平台钢琴")},  // 0
    {"Bright Acoustic Piano", QT_TRANSLATE_NOOP("GmProgramNames", "亮音钢琴")},  // 1
    {"Electric Grand Piano", QT_TRANSLATE_NOOP("GmProgramNames", "平台电钢琴")},  // 2
    {"Honky-Tonk Piano", QT_TRANSLATE_NOOP("GmProgramNames", "叮当琴")},  // 3
    {"Electric Piano 1", QT_TRANSLATE_NOOP("GmProgramNames", "电钢琴1")},  // 4
    {"Electric Piano 2", QT_TRANSLATE_NOOP("GmProgramNames", "电钢琴2")},  // 5
    {"Harpsichord", QT_TRANSLATE_NOOP("GmProgramNames", "大键琴")},  // 6
    {"Clavinet", QT_TRANSLATE_NOOP("GmProgramNames", "古钢琴")},  // 7
    {"Celesta", QT_TRANSLATE_NOOP("GmProgramNames", "钢片琴")},  // 8
    {"Glockenspiel", QT_TRANSLATE_NOOP("GmProgramNames", "铁琴")},  // 9
    {"Music Box", QT_TRANSLATE_NOOP("GmProgramNames", "音乐盒")},  // 10
    {"Vibraphone", QT_TRANSLATE_NOOP("GmProgramNames", "抖音琴")},  // 11
    {"Marimba", QT_TRANSLATE_NOOP("GmProgramNames", "立奏木琴")},  // 12
    {"Xylophone", QT_TRANSLATE_NOOP("GmProgramNames", "柔音木琴")},  // 13
    {"Tubular Bells", QT_TRANSLATE_NOOP("GmProgramNames", "管钟")},  // 14
    {"Dulcimer", QT_TRANSLATE_NOOP("GmProgramNames", "扬琴")},  // 15
    {"Drawbar Organ", QT_TRANSLATE_NOOP("GmProgramNames", "爵士风琴")},  // 16
    {"Percussive Organ", QT_TRANSLATE_NOOP("GmProgramNames", "敲击风琴")},  // 17
    {"Rock Organ", QT_TRANSLATE_NOOP("GmProgramNames", "摇滚风琴")},  // 18
    {"Church Organ", QT_TRANSLATE_NOOP("GmProgramNames", "教堂风琴")},  // 19
    {"Reed Organ", QT_TRANSLATE_NOOP("GmProgramNames", "簧风琴")},  // 20
    {"Accoridan", QT_TRANSLATE_NOOP("GmProgramNames", "手风琴")},  // 21
    {"Harmonica", QT_TRANSLATE_NOOP("GmProgramNames", "口琴")},  // 22
    {"Tango Accordian", QT_TRANSLATE_NOOP("GmProgramNames", "探戈手风琴")},  // 23
    {"Nylon String Guitar", QT_TRANSLATE_NOOP("GmProgramNames", "古典吉他")},  // 24
    {"Steel String Guitar", QT_TRANSLATE_NOOP("GmProgramNames", "民谣吉他")},  // 25
    {"Electric Jazz Guitar", QT_TRANSLATE_NOOP("GmProgramNames", "爵士电吉他")},  // 26
    {"Electric Clean Guitar", QT_TRANSLATE_NOOP("GmProgramNames", "电吉他")},  // 27
    {"Electric Muted Guitar", QT_TRANSLATE_NOOP("GmProgramNames", "闷音电吉他")},  // 28
    {"Overdriven Guitar", QT_TRANSLATE_NOOP("GmProgramNames", "浊音电吉他")},  // 29
    {"Distortion Guitar", QT_TRANSLATE_NOOP("GmProgramNames", "变音电吉他")},  // 30
    {"Guitar Harmonics", QT_TRANSLATE_NOOP("GmProgramNames", "和音吉他")},  // 31
    {"Acoustic Bass", QT_TRANSLATE_NOOP("GmProgramNames", "原音贝司")},  // 32
    {"Electric Bass(finger)", QT_TRANSLATE_NOOP("GmProgramNames", "手弹电贝司")},  // 33
    {"Electric Bass(pick)", QT_TRANSLATE_NOOP("GmProgramNames", "匹克电贝司")},  // 34
    {"Fretless Bass", QT_TRANSLATE_NOOP("GmProgramNames", "颤音贝司")},  // 35
    {"Slap Bass 1", QT_TRANSLATE_NOOP("GmProgramNames", "重贝司1")},  // 36
    {"Slap Bass 2", QT_TRANSLATE_NOOP("GmProgramNames", "重贝司2")},  // 37
    {"Synth Bass 1", QT_TRANSLATE_NOOP("GmProgramNames", "合成贝司1")},  // 38
    {"Synth Bass 2", QT_TRANSLATE_NOOP("GmProgramNames", "合成贝司2")},  // 39
    {"Violin", QT_TRANSLATE_NOOP("GmProgramNames", "小提琴")},  // 40
    {"Viola", QT_TRANSLATE_NOOP("GmProgramNames", "中提琴")},  // 41
    {"Cello", QT_TRANSLATE_NOOP("GmProgramNames", "大提琴")},  // 42
    {"Contrabass", QT_TRANSLATE_NOOP("GmProgramNames", "低音提琴")},  // 43
    {"Tremolo Strings", QT_TRANSLATE_NOOP("GmProgramNames", "颤弓弦乐")},  // 44
    {"Pizzicato Strings", QT_TRANSLATE_NOOP("GmProgramNames", "弹拨弦乐")},  // 45
    {"Orchestral Strings", QT_TRANSLATE_NOOP("GmProgramNames", "竖琴")},  // 46
    {"Timpani", QT_TRANSLATE_NOOP("GmProgramNames", "定音鼓")},  // 47
    {"String Ensemble 1", QT_TRANSLATE_NOOP("GmProgramNames", "弦乐合奏1")},  // 48
    {"String Ensemble 2", QT_TRANSLATE_NOOP("GmProgramNames", "弦乐合奏2")},  // 49
    {"SynthStrings 1", QT_TRANSLATE_NOOP("GmProgramNames", "合成弦乐1")},  // 50
    {"SynthStrings 2", QT_TRANSLATE_NOOP("GmProgramNames", "合成弦乐2")},  // 51
    {"Choir Aahs", QT_TRANSLATE_NOOP("GmProgramNames", "(啊)诗歌")},  // 52
    {"Voice Oohs", QT_TRANSLATE_NOOP("GmProgramNames", "(喔)语音")},  // 53
    {"Synth Voice", QT_TRANSLATE_NOOP("GmProgramNames", "合成人声")},  // 54
    {"Orchestra Hit", QT_TRANSLATE_NOOP("GmProgramNames", "打击交响乐")},  // 55
    {"Trumpet", QT_TRANSLATE_NOOP("GmProgramNames", "小号")},  // 56
    {"Trombone", QT_TRANSLATE_NOOP("GmProgramNames", "伸缩号")},  // 57
    {"Tuba", QT_TRANSLATE_NOOP("GmProgramNames", "低音号")},  // 58
    {"Muted Trumpet", QT_TRANSLATE_NOOP("GmProgramNames", "闷音小号")},  // 59
    {"French Horn", QT_TRANSLATE_NOOP("GmProgramNames", "法国号")},  // 60
    {"Brass Section", QT_TRANSLATE_NOOP("GmProgramNames", "铜管乐")},  // 61
    {"SynthBrass 1", QT_TRANSLATE_NOOP("GmProgramNames", "合成铜管1")},  // 62
    {"SynthBrass 2", QT_TRANSLATE_NOOP("GmProgramNames", "合成铜管2")},  // 63
    {"Soprano Sax", QT_TRANSLATE_NOOP("GmProgramNames", "低音萨克管")},  // 64
    {"Alto Sax", QT_TRANSLATE_NOOP("GmProgramNames", "中音萨克管")},  // 65
    {"Tenor Sax", QT_TRANSLATE_NOOP("GmProgramNames", "次中音萨克管")},  // 66
    {"Baritone Sax", QT_TRANSLATE_NOOP("GmProgramNames", "上低音萨克管")},  // 67
    {"Oboe", QT_TRANSLATE_NOOP("GmProgramNames", "双簧管")},  // 68
    {"English Horn", QT_TRANSLATE_NOOP("GmProgramNames", "英国管")},  // 69
    {"Bassoon", QT_TRANSLATE_NOOP("GmProgramNames", "低音管")},  // 70
    {"Clarinet", QT_TRANSLATE_NOOP("GmProgramNames", "单簧管")},  // 71
    {"Piccolo", QT_TRANSLATE_NOOP("GmProgramNames", "短笛")},  // 72
    {"Flute", QT_TRANSLATE_NOOP("GmProgramNames", "长笛")},  // 73
    {"Recorder", QT_TRANSLATE_NOOP("GmProgramNames", "直笛")},  // 74
    {"Pan Flute", QT_TRANSLATE_NOOP("GmProgramNames", "排笛")},  // 75
    {"Blown Bottle", QT_TRANSLATE_NOOP("GmProgramNames", "吹瓶声")},  // 76
    {"Skakuhachi", QT_TRANSLATE_NOOP("GmProgramNames", "尺八萧")},  // 77
    {"Whistle", QT_TRANSLATE_NOOP("GmProgramNames", "笛哨声")},  // 78
    {"Ocarina", QT_TRANSLATE_NOOP("GmProgramNames", "陶笛")},  // 79
    {"Lead 1 (square)", QT_TRANSLATE_NOOP("GmProgramNames", "方波")},  // 80
    {"Lead 2 (sawtooth)", QT_TRANSLATE_NOOP("GmProgramNames", "锯齿波")},  // 81
    {"Lead 3 (calliope)", QT_TRANSLATE_NOOP("GmProgramNames", "诗歌")},  // 82
    {"Lead 4 (chiff)", QT_TRANSLATE_NOOP("GmProgramNames", "合成吹管")},  // 83
    {"Lead 5 (charang)", QT_TRANSLATE_NOOP("GmProgramNames", "合成电吉他")},  // 84
    {"Lead 6 (voice)", QT_TRANSLATE_NOOP("GmProgramNames", "人声键盘")},  // 85
    {"Lead 7 (fifths)", QT_TRANSLATE_NOOP("GmProgramNames", "五度合音")},  // 86
    {"Lead 8 (bass+lead)", QT_TRANSLATE_NOOP("GmProgramNames", "贝司前奏")},  // 87
    {"Pad 1 (new age)", QT_TRANSLATE_NOOP("GmProgramNames", "新时代")},  // 88
    {"Pad 2 (warm)", QT_TRANSLATE_NOOP("GmProgramNames", "温暖音")},  // 89
    {"Pad 3 (polysynth)", QT_TRANSLATE_NOOP("GmProgramNames", "合音")},  // 90
    {"Pad 4 (choir)", QT_TRANSLATE_NOOP("GmProgramNames", "合唱")},  // 91
    {"Pad 5 (bowed)", QT_TRANSLATE_NOOP("GmProgramNames", "弹弓")},  // 92
    {"Pad 6 (metallic)", QT_TRANSLATE_NOOP("GmProgramNames", "金属")},  // 93
    {"Pad 7 (halo)", QT_TRANSLATE_NOOP("GmProgramNames", "光耀")},  // 94
    {"Pad 8 (sweep)", QT_TRANSLATE_NOOP("GmProgramNames", "横扫")},  // 95
    {"FX 1 (rain)", QT_TRANSLATE_NOOP("GmProgramNames", "雨声")},  // 96
    {"FX 2 (soundtrack)", QT_TRANSLATE_NOOP("GmProgramNames", "音轨")},  // 97
    {"FX 3 (crystal)", QT_TRANSLATE_NOOP("GmProgramNames", "水晶")},  // 98
    {"FX 4 (atmosphere)", QT_TRANSLATE_NOOP("GmProgramNames", "大气")},  // 99
    {"FX 5 (brightness)", QT_TRANSLATE_NOOP("GmProgramNames", "明亮")},  // 100
    {"FX 6 (goblins)", QT_TRANSLATE_NOOP("GmProgramNames", "倩女幽影")},  // 101
    {"FX 7 (echoes)", QT_TRANSLATE_NOOP("GmProgramNames", "发音")},  // 102
    {"FX 8 (sci-fi)", QT_TRANSLATE_NOOP("GmProgramNames", "科幻")},  // 103
    {"Sitar", QT_TRANSLATE_NOOP("GmProgramNames", "西塔琴")},  // 104
    {"Banjo", QT_TRANSLATE_NOOP("GmProgramNames", "五弦琴")},  // 105
    {"Shamisen", QT_TRANSLATE_NOOP("GmProgramNames", "三味线")},  // 106
    {"Koto", QT_TRANSLATE_NOOP("GmProgramNames", "十三弦琴")},  // 107
    {"Kalimba", QT_TRANSLATE_NOOP("GmProgramNames", "卡利玛钟琴")},  // 108
    {"Bagpipe", QT_TRANSLATE_NOOP("GmProgramNames", "苏格兰风笛")},  // 109
    {"Fiddle", QT_TRANSLATE_NOOP("GmProgramNames", "古提琴")},  // 110
    {"Shanai", QT_TRANSLATE_NOOP("GmProgramNames", "唢呐")},  // 111
    {"Tinkle Bell", QT_TRANSLATE_NOOP("GmProgramNames", "叮当铃")},  // 112
    {"Agogo", QT_TRANSLATE_NOOP("GmProgramNames", "阿哥哥鼓")},  // 113
    {"Steel Drums", QT_TRANSLATE_NOOP("GmProgramNames", "钢鼓")},  // 114
    {"Woodblock", QT_TRANSLATE_NOOP("GmProgramNames", "木块")},  // 115
    {"Taiko Drum", QT_TRANSLATE_NOOP("GmProgramNames", "日本太鼓")},  // 116
    {"Melodic Tom", QT_TRANSLATE_NOOP("GmProgramNames", "古高音鼓")},  // 117
    {"Synth Drum", QT_TRANSLATE_NOOP("GmProgramNames", "合成鼓")},  // 118
    {"Reverse Cymbal", QT_TRANSLATE_NOOP("GmProgramNames", "钹")},  // 119
    {"Guitar Fret Noise", QT_TRANSLATE_NOOP("GmProgramNames", "磨弦")},  // 120
    {"Breath Noise", QT_TRANSLATE_NOOP("GmProgramNames", "呼吸")},  // 121
    {"Seashore", QT_TRANSLATE_NOOP("GmProgramNames", "海浪")},  // 122
    {"Bird Tweet", QT_TRANSLATE_NOOP("GmProgramNames", "鸟鸣")},  // 123
    {"Telephone Ring", QT_TRANSLATE_NOOP("GmProgramNames", "电话")},  // 124
    {"Helicopter", QT_TRANSLATE_NOOP("GmProgramNames", "直升机")},  // 125
    {"Applause", QT_TRANSLATE_NOOP("GmProgramNames", "拍手")},  // 126
    {"Gunshot", QT_TRANSLATE_NOOP("GmProgramNames", "枪声")},  // 127
}};

const GmProgramName& gmProgramName(int program) {
    if (program < 0) program = 0;
    if (program >= kGmProgramCount) program = kGmProgramCount - 1;
    return GmProgramNames[static_cast<size_t>(program)];
}

}  // namespace melnix
