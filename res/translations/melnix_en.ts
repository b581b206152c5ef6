<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>GmProgramNames</name>
    <message>
        <source>平台钢琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>亮音钢琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>平台电钢琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>叮当琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电钢琴1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电钢琴2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>大键琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>古钢琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>钢片琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>铁琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>音乐盒</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>抖音琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>立奏木琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>柔音木琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>管钟</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>扬琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>爵士风琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>敲击风琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>摇滚风琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>教堂风琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>簧风琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手风琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>口琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>探戈手风琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>古典吉他</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>民谣吉他</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>爵士电吉他</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电吉他</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>闷音电吉他</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>浊音电吉他</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>变音电吉他</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>和音吉他</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原音贝司</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>手弹电贝司</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>匹克电贝司</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>颤音贝司</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重贝司1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>重贝司2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成贝司1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成贝司2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>小提琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中提琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>大提琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>低音提琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>颤弓弦乐</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>弹拨弦乐</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>竖琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>定音鼓</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>弦乐合奏1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>弦乐合奏2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成弦乐1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成弦乐2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(啊)诗歌</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(喔)语音</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成人声</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打击交响乐</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>小号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>伸缩号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>低音号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>闷音小号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>法国号</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>铜管乐</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成铜管1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成铜管2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>低音萨克管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中音萨克管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>次中音萨克管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上低音萨克管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>双簧管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>英国管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>低音管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>单簧管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>短笛</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>长笛</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>直笛</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>排笛</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>吹瓶声</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>尺八萧</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>笛哨声</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>陶笛</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>方波</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>锯齿波</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>诗歌</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成吹管</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成电吉他</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>人声键盘</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>五度合音</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>贝司前奏</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>新时代</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>温暖音</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合音</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合唱</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>弹弓</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>金属</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>光耀</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>横扫</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>雨声</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>音轨</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>水晶</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>大气</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>明亮</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>倩女幽影</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发音</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>科幻</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>西塔琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>五弦琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>三味线</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>十三弦琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>卡利玛钟琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>苏格兰风笛</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>古提琴</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>唢呐</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>叮当铃</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>阿哥哥鼓</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>钢鼓</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>木块</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>日本太鼓</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>古高音鼓</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成鼓</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>钹</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>磨弦</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>呼吸</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>海浪</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>鸟鸣</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>电话</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>直升机</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拍手</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>枪声</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>LineEdits</name>
    <message>
        <source>(本句,勿用! Don&apos;t use self!)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MidiStreamPlayer</name>
    <message>
        <source>很遗憾，你无法听到声音。

这是因为你没有安装声卡

或声卡的 MIDI 驱动程序。

但你仍旧可以欣赏歌词及画面。</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SongListDialog</name>
    <message>
        <source>常见音乐类型</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>所有音像类型</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SongSession</name>
    <message>
        <source>打开下列文件时出错!</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>melnix::AboutBox</name>
    <message>
        <source>关于 Melnix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>卡拉OK歌词同步与字幕制作软件：
为自己的歌曲配上逐字变色的字幕，
配上自己的图片或影像，全屏欣赏。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关闭</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>melnix::ExchangeDialog</name>
    <message>
        <source>同步歌词交换对话框</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>同步歌词交换：把你亲手同步好的歌词文件连同你的简单资料发送到歌词交换信箱，喜欢同一首歌的网友就能找到你，彼此直接交换同步歌词。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>注意：下面填写的个人资料（网名、性别、年龄、地域、QQ号码、主页、EMail和给网友的留言）将会公开，供其他网友与你联系。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>本软件作者只负责整理和转发交流者的联系名单，不替任何人交换或保管歌词。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请不要发送较大的.MP3等歌曲文件，只需在下面写明可以下载它的网址。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>你要发送的歌词文件是:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>其歌曲名称是:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>原文件(如.MP3)可在网站</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>里下载。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>网(姓)名:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>男</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>女</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>年龄:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>地域:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>QQ号码:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主页:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>EMail:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>(此项必须填写正确)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>给软件作者的留言:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>给网友的留言:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>我已熟知上述条款，我要</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>我不想发送，我要</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>本机尚未拨号! 你有局域网可发送邮件吗？

如果你选择‘是’，但又不能发送，可能导致死机.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>发送成功！恭喜你。<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>抱歉，发送失败！<byte value="xd"/>
<byte value="xd"/>
你可能没有拨号，或者没有填写你正确的Email地址。<byte value="xd"/>
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source><byte value="xd"/>
如果你通过拨号上网，别忘了断线呀！</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>melnix::HelpDialog</name>
    <message>
        <source>帮助信息对话框</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关于本软件...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>关 闭</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>打开保存歌曲列表和设置的目录: %1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>在文件管理器中打开这个目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>                         Melnix  卡拉OK字幕制作
                           使 用 说 明

一、本软件的功能

    用自己喜欢的歌曲(MP3、WAV、MIDI、影像文件等)，配上逐字变色的卡拉OK字幕，再配上自己的照片、图片或影像，就能做成属于自己的卡拉OK节目，全屏欣赏。歌词的时间同步信息可存在歌曲文件的尾部，也可另存为同步歌词文件(.MLX)，还能读入别人做好的 LRC、KSC 同步歌词。

二、认识编辑界面

    最上面是字幕区，显示当前一句歌词并随演唱逐字变色；其下是波形区，显示歌曲的音量波形、MIDI 歌曲的旋律音符或时间标尺；再下面一条是歌词调整区，每个字都排在它被唱到的时间上。下面依次是播放控制按钮、歌词编辑按钮、歌词组合框、播放速度选择、播放进度条，以及当前位置、歌曲长度和文件大小。鼠标停在任何地方，最下面的提示栏都会说明它的用法。

三、按部就班的制作过程

1.打开音乐(*.MP3,*.MID,*.WAV,*.MPG等)
    点击[打开列表]选择以前打开过的歌曲或添加新的歌曲，或点击[文件]直接打开一首歌曲。

2.录入歌词
    点击[添加]，在组合框中输入一句歌词(每句不超过15个汉字)，再点击确定按钮；也可以点击[导入歌词]，从文本文件或剪贴板中一次导入全部歌词。

3.调整时间同步
    选择较慢的播放速度(0.5x 不变调，最适合调整)，演唱时随着节奏单击[同步]按钮，每个字单击一次；或用鼠标左键在字幕区划过整句歌词；再在歌词调整区中把个别的字拖到准确的时间。最后点击[导出]或[保存]存盘。

4.为歌曲设置背景图像(*.jpg等)或影像(*.MPG)
    在[打开列表]中选中歌曲，点击[背景图像/音乐]，选择一组图片或一段影像。只选一张图片，等于选择了该目录下的所有图片。

四、制作技巧

1.重复的歌词不必重新输入：添加时点击组合框的下三角，选择已录入的同样语句即可。
2.节奏相同的重复语句，可用[参考]按钮引用另一句的时间同步信息。
3.若某句歌词要等很久才开始唱，可在字幕区压住鼠标右键等待，开唱时再松开。
4.演唱时用鼠标左键随着歌声划过字幕区的整句歌词，可以很快地初步定好一句的时间。
5.网上找到的纯文本歌词，可复制到剪贴板，再通过[导入歌词]中的“从剪贴板导入”读入。
6.MIDI 歌曲可在[音轨]中设置只播放主旋律音轨，此时一个字对应一个音符，在歌词调整区单击右键即可按旋律自动同步。
7.[同步]按钮：从句首开始，每唱一个字单击一次，一句唱完即定好了整句的时间。

五、欣赏制作结果

    点击[欣赏]，歌曲连同逐字变色的字幕和背景图片或影像一起全屏播放。

六、键盘

    回车键(可在窗口菜单的“同步键”中改为 F、J 或下箭头键)：演唱时每唱一个字按一下，与[同步]按钮相同，按住不会重复；退格键：退回一字，下一次同步重新确定刚才那个字的时间。
    空格键：播放/暂停；左右箭头键：像[&lt;][&gt;]一样移动波形区；Ctrl+左/右箭头键：本句及以后的歌词提前/推后 0.1 秒(窗口菜单中还可整体移动歌词)。
    Ctrl+Z：撤销；Ctrl+Y 或 Ctrl+Shift+Z：重做；Ctrl+S：保存；Ctrl+O：打开文件；F1：帮助；F5：欣赏；Ctrl+Q：退出；Esc：取消正在进行的添加、修改等操作。
    窗口菜单(在字幕区、波形区和歌词调整区以外单击右键)中有撤销、重做、移动歌词时间和同步键的选择。

七、补充资料

    打开过的歌曲列表及各项设置保存在 %1 目录下的 KTextParam.rec 文件中，删除它即可恢复初始状态。本软件的更新请留意发布它的网站。
</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>melnix::ImportDialog</name>
    <message>
        <source>歌词文本</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>所有文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>文本文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>导入同步歌词∕歌词文本</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>直接打开同步
歌词文件(.MLX)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从
文本文件
导入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从
剪贴板
导入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>   点击下面的“确定使用”之前，请在左边的编辑框中预处理歌词，要求每行不超过15个汉字，建议不要标点。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>去标点</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自动断行</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定使用
编辑框中的歌词</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>方式:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>追加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>替换</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存编辑框</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>放弃</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编辑框中有的行太长！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Melnix</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编辑框中无内容！</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下列文件打开失败</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请打开相应的歌词文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存到下列文件时，出现错误，保存失败!</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>编辑框中内容更改后尚未保存!

你需要保存吗？</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>警告</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>melnix::PromptDialog</name>
    <message>
        <source>的加密密码:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请你输入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>为了复核,请你再输入一遍</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>复核不成功,请你输入</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>的密码:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>密码不正确,请再输入一遍</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>melnix::SaveDialog</name>
    <message>
        <source>保存∕导出同步歌词，请选择：</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存在当前的音乐文件中</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存到下列同步文件中</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>另存为其他文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>放弃保存操作</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>melnix::SongListDialog</name>
    <message>
        <source>打开你想听的歌曲吧</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>歌曲文件名</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>类型</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>歌词</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>长度</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>所在目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>另配的同步歌词</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图片文件目录</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>我 要 打 开 新 的 歌 曲 文 件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>开  听</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>从列表中删除</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>背景图像/音乐</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>匹配歌词</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>交流同步歌词</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>返回</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>以前打开的文件列表: (单击项目标题可排序)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未知</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>自带</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>不带</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>请打开一个或一组音像文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>媒体本身是电影，可以选一个或一组音乐做背景</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>可选一组图片或一组电影做背景 (如果只选一个图片,等于选择该目录下所有图片)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>音乐文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>图片文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>视频文件</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>已</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>未</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>解</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>加</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>如果只选一个文件，则表示选择了该目录下所有图片!

你选择的文件是%1加密的，你现在有机会

将该目录下所有%1加密的图片文件 %2密。

你 需 要 这 样 做 吗 ？</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>melnix::TrackDialog</name>
    <message>
        <source>  播放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> 不播放</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>主旋律</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>可能是</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>默认</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
