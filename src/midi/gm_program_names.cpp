#include "midi/gm_program_names.h"

#include <cstddef>

namespace melnix {

// The English names keep their historic spellings ("Accoridan",
// "Skakuhachi"): they are what users of the program have always seen.
const std::array<GmProgramName, kGmProgramCount> GmProgramNames = {{
    {"Acoustic Grand", "平台钢琴"},  // 0
    {"Bright Acoustic", "亮音钢琴"},  // 1
    {"Electric Grand", "平台电钢琴"},  // 2
    {"Honky-Tonk", "叮当琴"},  // 3
    {"Electric Piano 1", "电钢琴1"},  // 4
    {"Electric Piano 2", "电钢琴2"},  // 5
    {"Harpsichord", "大键琴"},  // 6
    {"Clavinet", "古钢琴"},  // 7
    {"Celesta", "钢片琴"},  // 8
    {"Glockenspiel", "铁琴"},  // 9
    {"Music Box", "音乐盒"},  // 10
    {"Vibraphone", "抖音琴"},  // 11
    {"Marimba", "立奏木琴"},  // 12
    {"Xylophone", "柔音木琴"},  // 13
    {"Tubular Bells", "管钟"},  // 14
    {"Dulcimer", "扬琴"},  // 15
    {"Drawbar Organ", "爵士风琴"},  // 16
    {"Percussive Organ", "敲击风琴"},  // 17
    {"Rock Organ", "摇滚风琴"},  // 18
    {"Church Organ", "教堂风琴"},  // 19
    {"Reed Organ", "簧风琴"},  // 20
    {"Accoridan", "手风琴"},  // 21
    {"Harmonica", "口琴"},  // 22
    {"Tango Accordian", "探戈手风琴"},  // 23
    {"Nylon String Guitar", "古典吉他"},  // 24
    {"Steel String Guitar", "民谣吉他"},  // 25
    {"Electric Jazz Guitar", "爵士电吉他"},  // 26
    {"Electric Clean Guitar", "电吉他"},  // 27
    {"Electric Muted Guitar", "闷音电吉他"},  // 28
    {"Overdriven Guitar", "浊音电吉他"},  // 29
    {"Distortion Guitar", "变音电吉他"},  // 30
    {"Guitar Harmonics", "和音吉他"},  // 31
    {"Acoustic Bass", "原音贝司"},  // 32
    {"Electric Bass(finger)", "手弹电贝司"},  // 33
    {"Electric Bass(pick)", "匹克电贝司"},  // 34
    {"Fretless Bass", "颤音贝司"},  // 35
    {"Slap Bass 1", "重贝司1"},  // 36
    {"Slap Bass 2", "重贝司2"},  // 37
    {"Synth Bass 1", "合成贝司1"},  // 38
    {"Synth Bass 2", "合成贝司2"},  // 39
    {"Violin", "小提琴"},  // 40
    {"Viola", "中提琴"},  // 41
    {"Cello", "大提琴"},  // 42
    {"Contrabass", "低音提琴"},  // 43
    {"Tremolo Strings", "颤弓弦乐"},  // 44
    {"Pizzicato Strings", "弹拨弦乐"},  // 45
    {"Orchestral Strings", "竖琴"},  // 46
    {"Timpani", "定音鼓"},  // 47
    {"String Ensemble 1", "弦乐合奏1"},  // 48
    {"String Ensemble 2", "弦乐合奏2"},  // 49
    {"SynthStrings 1", "合成弦乐1"},  // 50
    {"SynthStrings 2", "合成弦乐2"},  // 51
    {"Choir Aahs", "(啊)诗歌"},  // 52
    {"Voice Oohs", "(喔)语音"},  // 53
    {"Synth Voice", "合成人声"},  // 54
    {"Orchestra Hit", "打击交响乐"},  // 55
    {"Trumpet", "小号"},  // 56
    {"Trombone", "伸缩号"},  // 57
    {"Tuba", "低音号"},  // 58
    {"Muted Trumpet", "闷音小号"},  // 59
    {"French Horn", "法国号"},  // 60
    {"Brass Section", "铜管乐"},  // 61
    {"SynthBrass 1", "合成铜管1"},  // 62
    {"SynthBrass 2", "合成铜管2"},  // 63
    {"Soprano Sax", "低音萨克管"},  // 64
    {"Alto Sax", "中音萨克管"},  // 65
    {"Tenor Sax", "次中音萨克管"},  // 66
    {"Baritone Sax", "上低音萨克管"},  // 67
    {"Oboe", "双簧管"},  // 68
    {"English Horn", "英国管"},  // 69
    {"Bassoon", "低音管"},  // 70
    {"Clarinet", "单簧管"},  // 71
    {"Piccolo", "短笛"},  // 72
    {"Flute", "长笛"},  // 73
    {"Recorder", "直笛"},  // 74
    {"Pan Flute", "排笛"},  // 75
    {"Blown Bottle", "吹瓶声"},  // 76
    {"Skakuhachi", "尺八萧"},  // 77
    {"Whistle", "笛哨声"},  // 78
    {"Ocarina", "陶笛"},  // 79
    {"Lead 1 (square)", "方波"},  // 80
    {"Lead 2 (sawtooth)", "锯齿波"},  // 81
    {"Lead 3 (calliope)", "诗歌"},  // 82
    {"Lead 4 (chiff)", "合成吹管"},  // 83
    {"Lead 5 (charang)", "合成电吉他"},  // 84
    {"Lead 6 (voice)", "人声键盘"},  // 85
    {"Lead 7 (fifths)", "五度合音"},  // 86
    {"Lead 8 (bass+lead)", "贝司前奏"},  // 87
    {"Pad 1 (new age)", "新时代"},  // 88
    {"Pad 2 (warm)", "温暖音"},  // 89
    {"Pad 3 (polysynth)", "合音"},  // 90
    {"Pad 4 (choir)", "合唱"},  // 91
    {"Pad 5 (bowed)", "弹弓"},  // 92
    {"Pad 6 (metallic)", "金属"},  // 93
    {"Pad 7 (halo)", "光耀"},  // 94
    {"Pad 8 (sweep)", "横扫"},  // 95
    {"FX 1 (rain)", "雨声"},  // 96
    {"FX 2 (soundtrack)", "音轨"},  // 97
    {"FX 3 (crystal)", "水晶"},  // 98
    {"FX 4 (atmosphere)", "大气"},  // 99
    {"FX 5 (brightness)", "明亮"},  // 100
    {"FX 6 (goblins)", "倩女幽影"},  // 101
    {"FX 7 (echoes)", "发音"},  // 102
    {"FX 8 (sci-fi)", "科幻"},  // 103
    {"Sitar", "西塔琴"},  // 104
    {"Banjo", "五弦琴"},  // 105
    {"Shamisen", "三味线"},  // 106
    {"Koto", "十三弦琴"},  // 107
    {"Kalimba", "卡利玛钟琴"},  // 108
    {"Bagpipe", "苏格兰风笛"},  // 109
    {"Fiddle", "古提琴"},  // 110
    {"Shanai", "唢呐"},  // 111
    {"Tinkle Bell", "叮当铃"},  // 112
    {"Agogo", "阿哥哥鼓"},  // 113
    {"Steel Drums", "钢鼓"},  // 114
    {"Woodblock", "木块"},  // 115
    {"Taiko Drum", "日本太鼓"},  // 116
    {"Melodic Tom", "古高音鼓"},  // 117
    {"Synth Drum", "合成鼓"},  // 118
    {"Reverse Cymbal", "钹"},  // 119
    {"Guitar Fret Noise", "磨弦"},  // 120
    {"Breath Noise", "呼吸"},  // 121
    {"Seashore", "海浪"},  // 122
    {"Bird Tweet", "鸟鸣"},  // 123
    {"Telephone Ring", "电话"},  // 124
    {"Helicopter", "直升机"},  // 125
    {"Applause", "拍手"},  // 126
    {"Gunshot", "枪声"},  // 127
}};

const GmProgramName& gmProgramName(int program) {
    if (program < 0) program = 0;
    if (program >= kGmProgramCount) program = kGmProgramCount - 1;
    return GmProgramNames[static_cast<size_t>(program)];
}

}  // namespace melnix
