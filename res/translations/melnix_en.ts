<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>EditHistory</name>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>拆分</source>
        <translation>Split</translation>
    </message>
    <message>
        <source>合并</source>
        <translation>Merge</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Reference</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Placement</translation>
    </message>
    <message>
        <source>同步</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>整体移动</source>
        <translation>Shift Lyric</translation>
    </message>
    <message>
        <source>移动本句及以后</source>
        <translation>Shift From This Line</translation>
    </message>
    <message>
        <source>导入</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>扫过</source>
        <translation>Sweep</translation>
    </message>
    <message>
        <source>按住</source>
        <translation>Hold</translation>
    </message>
    <message>
        <source>拖动</source>
        <translation>Drag</translation>
    </message>
    <message>
        <source>旋律</source>
        <translation>Melody</translation>
    </message>
    <message>
        <source>自动定时</source>
        <translation>Automatic timing</translation>
    </message>
</context>
<context>
    <name>EditorDialog</name>
    <message>
        <source>整体移动歌词</source>
        <translation>Shift the Whole Lyric</translation>
    </message>
    <message>
        <source>移动本句及以后的歌词</source>
        <translation>Shift This Line and the Lines After It</translation>
    </message>
    <message>
        <source>提前多少 (1/100 秒):</source>
        <translation>Earlier by (1/100 s):</translation>
    </message>
    <message>
        <source>推后多少 (1/100 秒):</source>
        <translation>Later by (1/100 s):</translation>
    </message>
    <message>
        <source>撤销</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>重做</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>移动歌词时间</source>
        <translation>Shift Lyric Times</translation>
    </message>
    <message>
        <source>整体提前...</source>
        <translation>Whole Lyric Earlier...</translation>
    </message>
    <message>
        <source>整体推后...</source>
        <translation>Whole Lyric Later...</translation>
    </message>
    <message>
        <source>本句及以后提前...</source>
        <translation>This Line and After Earlier...</translation>
    </message>
    <message>
        <source>本句及以后推后...</source>
        <translation>This Line and After Later...</translation>
    </message>
    <message>
        <source>后续歌词跟随</source>
        <translation>Later Lines Follow</translation>
    </message>
    <message>
        <source>同步键</source>
        <translation>Sync Key</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>关于 Melnix</source>
        <translation>About Melnix</translation>
    </message>
    <message>
        <source>选择字幕字体</source>
        <translation>Subtitle Font...</translation>
    </message>
    <message>
        <source>导出视频</source>
        <translation>Export Video...</translation>
    </message>
    <message>
        <source>慢放与快放不变调时用高质量变速</source>
        <translation>High-Quality Stretch for Slow and Fast Speeds Without Pitch Change</translation>
    </message>
    <message>
        <source>最慢的播放速度(0.5x,不变调,最适合调整歌词时间)</source>
        <translation>Slowest speed (0.5x, same pitch; best for timing lyrics)</translation>
    </message>
    <message>
        <source>相当慢的播放速度(0.57x,变调)</source>
        <translation>Quite slow (0.57x, lower pitch)</translation>
    </message>
    <message>
        <source>较慢的播放速度(0.67x,不变调)</source>
        <translation>Slower (0.67x, same pitch)</translation>
    </message>
    <message>
        <source>微慢的播放速度(0.8x,变调,女声变男声)</source>
        <translation>A little slower (0.8x, lower pitch: a woman&apos;s voice sounds like a man&apos;s)</translation>
    </message>
    <message>
        <source>正常的播放速度(1x,原调)</source>
        <translation>Normal speed (1x, original pitch)</translation>
    </message>
    <message>
        <source>微快的播放速度(1.25x,变调,男声变女声)</source>
        <translation>A little faster (1.25x, higher pitch: a man&apos;s voice sounds like a woman&apos;s)</translation>
    </message>
    <message>
        <source>较快的播放速度(1.33x,不变调)</source>
        <translation>Faster (1.33x, same pitch)</translation>
    </message>
    <message>
        <source>相当快的播放速度(1.54x,变调)</source>
        <translation>Quite fast (1.54x, higher pitch)</translation>
    </message>
    <message>
        <source>最快的播放速度(2x,不变调)</source>
        <translation>Fastest speed (2x, same pitch)</translation>
    </message>
    <message>
        <source>波形区显示窗口向左移动4/5</source>
        <translation>Move the waveform view left by 4/5</translation>
    </message>
    <message>
        <source>波形区显示窗口向左移动1/3</source>
        <translation>Move the waveform view left by 1/3</translation>
    </message>
    <message>
        <source>暂停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>暂停播放 或 开始播放</source>
        <translation>Pause or play</translation>
    </message>
    <message>
        <source>波形区显示窗口向右移动1/3</source>
        <translation>Move the waveform view right by 1/3</translation>
    </message>
    <message>
        <source>波形区显示窗口向右移动4/5</source>
        <translation>Move the waveform view right by 4/5</translation>
    </message>
    <message>
        <source>设置静音 / 恢复声音</source>
        <translation>Mute / sound on</translation>
    </message>
    <message>
        <source>消除或恢复歌曲原唱</source>
        <translation>Remove or restore the lead vocals</translation>
    </message>
    <message>
        <source>设置显示音量波形，还是显示时间标尺</source>
        <translation>Show the volume waveform or the time ruler</translation>
    </message>
    <message>
        <source>设置或取消双倍时间刻度显示，双倍显示时便于操作节奏快的歌词</source>
        <translation>Double the time scale or set it back; the double scale makes fast lyrics easier to time</translation>
    </message>
    <message>
        <source>欣赏</source>
        <translation>Show</translation>
    </message>
    <message>
        <source>如果设置了背景图片或影像(在“打开音乐”中设置),则可以进行欣赏了</source>
        <translation>Play the song full screen with its subtitles over its pictures or video (set in [Song List])</translation>
    </message>
    <message>
        <source>音轨</source>
        <translation>Tracks</translation>
    </message>
    <message>
        <source>察看MIDI音轨信息，并可设置 只播放 主旋律 音轨，以便歌词同步</source>
        <translation>View the MIDI tracks; you can play the melody track alone to time the lyrics</translation>
    </message>
    <message>
        <source>同步</source>
        <translation>Sync</translation>
    </message>
    <message>
        <source>演唱时，随着中文歌词的节奏单击该按钮，可快速歌词同步。(注意从句首开始)</source>
        <translation>While the song is sung, click this button on every sung character to time the lyric quickly (start at the beginning of a line)</translation>
    </message>
    <message>
        <source>帮助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>功能介绍、使用方法与技巧</source>
        <translation>Features, how to use them, and tips</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>保存或导出当前的同步歌词，或存在歌曲尾部，或另存为新文件(.MLX)</source>
        <translation>Save or export the timed lyric: into the song file&apos;s tail or as a new file (.MLX)</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>终止本软件</source>
        <translation>Quit Melnix</translation>
    </message>
    <message>
        <source>在有限范围内调整音量大小，如需更大的声音，请在Windows任务栏中点击喇叭</source>
        <translation>Adjust the volume within a limited range; for louder sound, raise the desktop&apos;s volume</translation>
    </message>
    <message>
        <source>添加</source>
        <translation>Add</translation>
    </message>
    <message>
        <source>准备插入一句歌词(在当前位置或当前句的后面)</source>
        <translation>Insert a lyric line (at the current position or after the current line)</translation>
    </message>
    <message>
        <source>修改</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>准备修改当前的一句歌词</source>
        <translation>Edit the current lyric line</translation>
    </message>
    <message>
        <source>删除</source>
        <translation>Delete</translation>
    </message>
    <message>
        <source>准备删除一句歌词</source>
        <translation>Delete a lyric line</translation>
    </message>
    <message>
        <source>拆分</source>
        <translation>Split</translation>
    </message>
    <message>
        <source>准备将一句长歌词拆分成两句短歌词</source>
        <translation>Split a long lyric line into two shorter lines</translation>
    </message>
    <message>
        <source>合并</source>
        <translation>Merge</translation>
    </message>
    <message>
        <source>准备将当前的一句歌词与下一句歌词合并成一句长歌词</source>
        <translation>Merge the current lyric line with the next into one long line</translation>
    </message>
    <message>
        <source>参考</source>
        <translation>Ref.</translation>
    </message>
    <message>
        <source>参考另一句歌词的时间同步信息，并将其引用到当前句歌词上</source>
        <translation>Take the timing of another line and apply it to the current line</translation>
    </message>
    <message>
        <source>确定添加的歌词:</source>
        <translation>Add this line:</translation>
    </message>
    <message>
        <source>确定将下面添加的歌词插入到当前位置或当前句的后面,并返回演唱</source>
        <translation>Insert the line typed below at the current position or after the current line, and go on singing</translation>
    </message>
    <message>
        <source>确定修改的歌词:</source>
        <translation>Apply the edited line:</translation>
    </message>
    <message>
        <source>确定下面修改的歌词有效,并返回演唱</source>
        <translation>Accept the line edited below, and go on singing</translation>
    </message>
    <message>
        <source>确定删除歌词:</source>
        <translation>Delete this line:</translation>
    </message>
    <message>
        <source>确定删除下面的一句歌词,并返回演唱</source>
        <translation>Delete the line below, and go on singing</translation>
    </message>
    <message>
        <source>拆分:先删后半行,再按此钮</source>
        <translation>Split: cut the second half, then click</translation>
    </message>
    <message>
        <source>先在下面的组合框中删除后半行，留下拆分后的第一句，再点击此按钮确定拆分结果</source>
        <translation>First delete the second half of the line in the box below, leaving the first of the two lines, then click this button to split</translation>
    </message>
    <message>
        <source>确定合并两句为一句:</source>
        <translation>Merge the two lines into one:</translation>
    </message>
    <message>
        <source>下面框中光标前后本为两句,合并时自动插入一空格,若不需要,可删除,最后点击此按钮</source>
        <translation>The text before and after the cursor below were two lines; a space was put between them (delete it if not needed), then click this button</translation>
    </message>
    <message>
        <source>确定参考下列句子的时间:</source>
        <translation>Use the timing of this line:</translation>
    </message>
    <message>
        <source>点击组合框中的下三角，选择合适的句子，引用其时间同步信息，最后点击此按钮确定</source>
        <translation>Open the list with the arrow, choose a line whose timing to use, then click this button</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>放弃下面的修改，恢复演唱</source>
        <translation>Discard the change below and go on singing</translation>
    </message>
    <message>
        <source>打开列表</source>
        <translation>Song List</translation>
    </message>
    <message>
        <source>打开磁盘上的歌曲文件</source>
        <translation>Open a song file from disk</translation>
    </message>
    <message>
        <source>文件</source>
        <translation>File</translation>
    </message>
    <message>
        <source>导入歌词</source>
        <translation>Import Lyrics</translation>
    </message>
    <message>
        <source>打开同步歌词(.MLX.LRC.KSC)，或者从剪贴板、文本文件中导入歌词</source>
        <translation>Open a timed lyric (.MLX .LRC .KSC), or import lyrics from the clipboard or a text file</translation>
    </message>
    <message>
        <source>点击下三角按钮可列表已录入的歌词</source>
        <translation>Click the arrow to list the lyric lines entered</translation>
    </message>
    <message>
        <source>改变当前句歌词字幕的放置位置</source>
        <translation>Change where the current line&apos;s subtitle is placed</translation>
    </message>
    <message>
        <source>速度</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>点击后面的园按钮可调整播放速度</source>
        <translation>Click the round buttons after it to change the playback speed</translation>
    </message>
    <message>
        <source>当前歌曲播放进度条，可用鼠标左键拖动滑块或直接点击位置来改变播放点</source>
        <translation>Position in the song: drag the handle or click to play from another point</translation>
    </message>
    <message>
        <source>当前的播放位置(时间 分:秒)</source>
        <translation>Current position (min:sec)</translation>
    </message>
    <message>
        <source>歌曲总的时间长度(分:秒)</source>
        <translation>Length of the song (min:sec)</translation>
    </message>
    <message>
        <source>歌曲文件的长度</source>
        <translation>Size of the song file</translation>
    </message>
    <message>
        <source>是否提示  这里是歌词录入与时间同步编辑界面。看播放效果，请点击“欣赏”按钮。</source>
        <translation>Hints  This is where lyrics are entered and timed. To watch the result, click [Show].</translation>
    </message>
    <message>
        <source>字幕区: 演唱时,用鼠标左键同步划过整个语句可初步定其时,若该句需很久才唱,可压住右键等待 </source>
        <translation>Subtitle area: while singing, sweep across a whole line with the left button to time it roughly; if the line is sung much later, hold the right button down until then </translation>
    </message>
    <message>
        <source>波形区: 左键 -- 拖动其内容, 并从相应位置开始播放 / 单击右键 -- 设置当前位置并暂停 </source>
        <translation>Waveform area: left button -- drag its contents and play from there / right click -- set the position and pause </translation>
    </message>
    <message>
        <source>歌词调整区: 左键 -- 暂停, 或拖动文字到精确的时间点 / 右键 -- 用于MIDI的自动歌词同步(只播主旋律音轨时)</source>
        <translation>Lyric adjustment area: left button -- pause, or drag a character to its exact time / right button -- automatic timing for MIDI (when only the melody track plays)</translation>
    </message>
    <message>
        <source>回车键</source>
        <translation>Enter</translation>
    </message>
    <message>
        <source>F 键</source>
        <translation>F</translation>
    </message>
    <message>
        <source>J 键</source>
        <translation>J</translation>
    </message>
    <message>
        <source>下箭头键</source>
        <translation>Down Arrow</translation>
    </message>
    <message>
        <source> 键盘: %1 同步, 退格键 退回一字</source>
        <translation> Keys: %1 sync, Backspace steps back one character</translation>
    </message>
    <message>
        <source>单句歌词录入修改组合框(点击[添加][修改]...后才能用)</source>
        <translation>Lyric line box (usable after [Add], [Edit]...)</translation>
    </message>
    <message>
        <source>升降调 </source>
        <translation>Key </translation>
    </message>
    <message>
        <source>升高或降低歌曲的音调(半音,-6到+6),速度不变;每首歌曲各自记住</source>
        <translation>Raise or lower the song&apos;s key (semitones, -6 to +6) without changing its speed; each song keeps its own</translation>
    </message>
    <message>
        <source>已到相邻歌词的限度 (后续歌词不跟随)</source>
        <translation>Reached the neighbouring line (later lines do not follow)</translation>
    </message>
    <message>
        <source>退回一字: 下一次同步重新确定刚才那个字的时间</source>
        <translation>Stepped back: the next sync re-times the last character</translation>
    </message>
    <message>
        <source>提前</source>
        <translation>earlier</translation>
    </message>
    <message>
        <source>推后</source>
        <translation>later</translation>
    </message>
    <message>
        <source>歌词已到限度, 无法再移动</source>
        <translation>The lyric is at its limit and cannot move further</translation>
    </message>
    <message>
        <source>歌词已%1 %2 秒</source>
        <translation>Lyric moved %1 by %2 s</translation>
    </message>
    <message>
        <source> (已到限度)</source>
        <translation> (limit reached)</translation>
    </message>
    <message>
        <source>文件是只读的，或者没有写入它的权限。</source>
        <translation>The file is read-only, or you may not write it.</translation>
    </message>
    <message>
        <source>文件所在的磁盘是只读的。</source>
        <translation>The disk holding the file is read-only.</translation>
    </message>
    <message>
        <source>磁盘空间不足。</source>
        <translation>The disk is full.</translation>
    </message>
    <message>
        <source>文件或文件夹已不存在。</source>
        <translation>The file or its folder no longer exists.</translation>
    </message>
    <message>
        <source>系统报告的错误: %1</source>
        <translation>The system reported: %1</translation>
    </message>
    <message>
        <source>保存没有完成，原文件保持不变。</source>
        <translation>The save did not finish; the file is unchanged.</translation>
    </message>
    <message>
        <source>修改的歌词尚未存盘,你需要存盘吗？</source>
        <translation>The lyric has changed and is not saved. Save it?</translation>
    </message>
    <message>
        <source>Melnix</source>
        <translation>Melnix</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>请给出保存歌词的文件名</source>
        <translation>File name for the lyric</translation>
    </message>
    <message>
        <source>歌词同步文件</source>
        <translation>Timed lyric files</translation>
    </message>
    <message>
        <source>歌词已保存在歌曲文件的尾部: %1</source>
        <translation>Lyric saved in the tail of the song file: %1</translation>
    </message>
    <message>
        <source>歌词仍可用“另存为其他文件”保存到 .MLX 文件中。</source>
        <translation>The lyric can still be saved to an .MLX file with &quot;Save as another file&quot;.</translation>
    </message>
    <message>
        <source>保存到下列文件时，出现错误，保存失败!</source>
        <translation>Saving to this file failed!</translation>
    </message>
    <message>
        <source>歌词已保存到: %1</source>
        <translation>Lyric saved to: %1</translation>
    </message>
    <message>
        <source>请打开相应的同步歌词文件</source>
        <translation>Open the song&apos;s timed lyric file</translation>
    </message>
    <message>
        <source>同步歌词文件</source>
        <translation>Timed lyric files</translation>
    </message>
    <message>
        <source>歌词文本</source>
        <translation>Lyric text</translation>
    </message>
    <message>
        <source>所有文件</source>
        <translation>All files</translation>
    </message>
    <message>
        <source>下列文件打开失败</source>
        <translation>This file could not be opened</translation>
    </message>
    <message>
        <source>下列文件中同步信息有错!</source>
        <translation>The timing in this file is damaged!</translation>
    </message>
    <message>
        <source>打开下列文件时出错!</source>
        <translation>Error opening this file!</translation>
    </message>
    <message>
        <source>请打开一个音像文件</source>
        <translation>Open a song or video file</translation>
    </message>
    <message>
        <source>文件不存在或无法读取。</source>
        <translation>The file does not exist or cannot be read.</translation>
    </message>
    <message>
        <source>文件是空的(0 字节)。</source>
        <translation>The file is empty (0 bytes).</translation>
    </message>
    <message>
        <source>这不是 MIDI 文件。</source>
        <translation>This is not a MIDI file.</translation>
    </message>
    <message>
        <source>MIDI 文件已损坏,读不出其中的音轨。</source>
        <translation>The MIDI file is damaged; its tracks cannot be read.</translation>
    </message>
    <message>
        <source>文件中找不到 MP3 音频帧。</source>
        <translation>No MP3 audio frames were found in the file.</translation>
    </message>
    <message>
        <source>这不是能播放的 PCM WAV 文件。</source>
        <translation>This is not a PCM WAV file that can be played.</translation>
    </message>
    <message>
        <source>媒体库无法解码这个文件。</source>
        <translation>The media library cannot decode this file.</translation>
    </message>
    <message>
        <source>无法打开声音输出设备。</source>
        <translation>The sound output cannot be opened.</translation>
    </message>
    <message>
        <source>文件不完整(下载或复制时被截断),只能播放到截断处。</source>
        <translation>The file is incomplete (cut off while downloading or copying); it plays only up to the cut.</translation>
    </message>
    <message>
        <source>播放</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>播放下列文件时出错!</source>
        <translation>Error playing this file!</translation>
    </message>
    <message>
        <source>升降调</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>%1 升调,%2 降调,%3 或右键菜单中的“复 位”恢复原调</source>
        <translation>%1 raises, %2 lowers, %3 or &quot;Reset&quot; in the right-click menu goes back to the song&apos;s own key</translation>
    </message>
    <message>
        <source>升高音调</source>
        <translation>Raise the key</translation>
    </message>
    <message>
        <source>降低音调</source>
        <translation>Lower the key</translation>
    </message>
    <message>
        <source>复 位</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>%1 句歌词与前一句相隔不到 0.09 秒，无法演唱，已略去。</source>
        <translation>%1 lyric lines were left out: each came less than 0.09 s after the line before, too soon to be sung.</translation>
    </message>
    <message>
        <source>增强 LRC 歌词, 逐字</source>
        <translation>Enhanced LRC lyric, word by word</translation>
    </message>
    <message>
        <source>LRC 歌词</source>
        <translation>LRC lyric</translation>
    </message>
    <message>
        <source>ASS 卡拉OK字幕</source>
        <translation>ASS karaoke subtitles</translation>
    </message>
    <message>
        <source>UltraStar 歌曲</source>
        <translation>UltraStar song</translation>
    </message>
    <message>
        <source>歌词已导出: %1</source>
        <translation>Lyric exported: %1</translation>
    </message>
    <message>
        <source>正在听歌曲中的人声...</source>
        <translation>Listening to the voice in the song...</translation>
    </message>
    <message>
        <source>自动定时</source>
        <translation>Automatic timing</translation>
    </message>
    <message>
        <source>自动定时失败</source>
        <translation>Automatic timing failed</translation>
    </message>
    <message>
        <source>自动定时完成</source>
        <translation>Automatic timing done</translation>
    </message>
    <message>
        <source>自动定时完成, 请先检查第 %1 句</source>
        <translation>Automatic timing done; check line %1 first</translation>
    </message>
    <message>
        <source>全部歌词</source>
        <translation>The whole lyric</translation>
    </message>
    <message>
        <source>本句及以后</source>
        <translation>This line and those after it</translation>
    </message>
    <message>
        <source>导出 CD+G</source>
        <translation>Export CD+G</translation>
    </message>
    <message>
        <source>请先打开一首有歌词的歌曲</source>
        <translation>Open a song with a lyric first</translation>
    </message>
    <message>
        <source>CD+G 卡拉OK图形</source>
        <translation>CD+G karaoke graphics</translation>
    </message>
    <message>
        <source>正在导出 CD+G...</source>
        <translation>Exporting CD+G...</translation>
    </message>
    <message>
        <source>CD+G 已导出</source>
        <translation>CD+G exported</translation>
    </message>
    <message>
        <source>导出 CD+G 时出现错误，导出失败!</source>
        <translation>Exporting CD+G failed!</translation>
    </message>
    <message>
        <source>导出 CD+G (MP3+G)</source>
        <translation>Export CD+G (MP3+G)</translation>
    </message>
</context>
<context>
    <name>GmProgramNames</name>
    <message>
        <source>平台钢琴</source>
        <translation>Acoustic Grand Piano</translation>
    </message>
    <message>
        <source>亮音钢琴</source>
        <translation>Bright Acoustic Piano</translation>
    </message>
    <message>
        <source>平台电钢琴</source>
        <translation>Electric Grand Piano</translation>
    </message>
    <message>
        <source>叮当琴</source>
        <translation>Honky-tonk Piano</translation>
    </message>
    <message>
        <source>电钢琴1</source>
        <translation>Electric Piano 1</translation>
    </message>
    <message>
        <source>电钢琴2</source>
        <translation>Electric Piano 2</translation>
    </message>
    <message>
        <source>大键琴</source>
        <translation>Harpsichord</translation>
    </message>
    <message>
        <source>古钢琴</source>
        <translation>Clavi</translation>
    </message>
    <message>
        <source>钢片琴</source>
        <translation>Celesta</translation>
    </message>
    <message>
        <source>铁琴</source>
        <translation>Glockenspiel</translation>
    </message>
    <message>
        <source>音乐盒</source>
        <translation>Music Box</translation>
    </message>
    <message>
        <source>抖音琴</source>
        <translation>Vibraphone</translation>
    </message>
    <message>
        <source>立奏木琴</source>
        <translation>Marimba</translation>
    </message>
    <message>
        <source>柔音木琴</source>
        <translation>Xylophone</translation>
    </message>
    <message>
        <source>管钟</source>
        <translation>Tubular Bells</translation>
    </message>
    <message>
        <source>扬琴</source>
        <translation>Dulcimer</translation>
    </message>
    <message>
        <source>爵士风琴</source>
        <translation>Drawbar Organ</translation>
    </message>
    <message>
        <source>敲击风琴</source>
        <translation>Percussive Organ</translation>
    </message>
    <message>
        <source>摇滚风琴</source>
        <translation>Rock Organ</translation>
    </message>
    <message>
        <source>教堂风琴</source>
        <translation>Church Organ</translation>
    </message>
    <message>
        <source>簧风琴</source>
        <translation>Reed Organ</translation>
    </message>
    <message>
        <source>手风琴</source>
        <translation>Accordion</translation>
    </message>
    <message>
        <source>口琴</source>
        <translation>Harmonica</translation>
    </message>
    <message>
        <source>探戈手风琴</source>
        <translation>Tango Accordion</translation>
    </message>
    <message>
        <source>古典吉他</source>
        <translation>Acoustic Guitar (nylon)</translation>
    </message>
    <message>
        <source>民谣吉他</source>
        <translation>Acoustic Guitar (steel)</translation>
    </message>
    <message>
        <source>爵士电吉他</source>
        <translation>Electric Guitar (jazz)</translation>
    </message>
    <message>
        <source>电吉他</source>
        <translation>Electric Guitar (clean)</translation>
    </message>
    <message>
        <source>闷音电吉他</source>
        <translation>Electric Guitar (muted)</translation>
    </message>
    <message>
        <source>浊音电吉他</source>
        <translation>Overdriven Guitar</translation>
    </message>
    <message>
        <source>变音电吉他</source>
        <translation>Distortion Guitar</translation>
    </message>
    <message>
        <source>和音吉他</source>
        <translation>Guitar Harmonics</translation>
    </message>
    <message>
        <source>原音贝司</source>
        <translation>Acoustic Bass</translation>
    </message>
    <message>
        <source>手弹电贝司</source>
        <translation>Electric Bass (finger)</translation>
    </message>
    <message>
        <source>匹克电贝司</source>
        <translation>Electric Bass (pick)</translation>
    </message>
    <message>
        <source>颤音贝司</source>
        <translation>Fretless Bass</translation>
    </message>
    <message>
        <source>重贝司1</source>
        <translation>Slap Bass 1</translation>
    </message>
    <message>
        <source>重贝司2</source>
        <translation>Slap Bass 2</translation>
    </message>
    <message>
        <source>合成贝司1</source>
        <translation>Synth Bass 1</translation>
    </message>
    <message>
        <source>合成贝司2</source>
        <translation>Synth Bass 2</translation>
    </message>
    <message>
        <source>小提琴</source>
        <translation>Violin</translation>
    </message>
    <message>
        <source>中提琴</source>
        <translation>Viola</translation>
    </message>
    <message>
        <source>大提琴</source>
        <translation>Cello</translation>
    </message>
    <message>
        <source>低音提琴</source>
        <translation>Contrabass</translation>
    </message>
    <message>
        <source>颤弓弦乐</source>
        <translation>Tremolo Strings</translation>
    </message>
    <message>
        <source>弹拨弦乐</source>
        <translation>Pizzicato Strings</translation>
    </message>
    <message>
        <source>竖琴</source>
        <translation>Orchestral Harp</translation>
    </message>
    <message>
        <source>定音鼓</source>
        <translation>Timpani</translation>
    </message>
    <message>
        <source>弦乐合奏1</source>
        <translation>String Ensemble 1</translation>
    </message>
    <message>
        <source>弦乐合奏2</source>
        <translation>String Ensemble 2</translation>
    </message>
    <message>
        <source>合成弦乐1</source>
        <translation>SynthStrings 1</translation>
    </message>
    <message>
        <source>合成弦乐2</source>
        <translation>SynthStrings 2</translation>
    </message>
    <message>
        <source>(啊)诗歌</source>
        <translation>Choir Aahs</translation>
    </message>
    <message>
        <source>(喔)语音</source>
        <translation>Voice Oohs</translation>
    </message>
    <message>
        <source>合成人声</source>
        <translation>Synth Voice</translation>
    </message>
    <message>
        <source>打击交响乐</source>
        <translation>Orchestra Hit</translation>
    </message>
    <message>
        <source>小号</source>
        <translation>Trumpet</translation>
    </message>
    <message>
        <source>伸缩号</source>
        <translation>Trombone</translation>
    </message>
    <message>
        <source>低音号</source>
        <translation>Tuba</translation>
    </message>
    <message>
        <source>闷音小号</source>
        <translation>Muted Trumpet</translation>
    </message>
    <message>
        <source>法国号</source>
        <translation>French Horn</translation>
    </message>
    <message>
        <source>铜管乐</source>
        <translation>Brass Section</translation>
    </message>
    <message>
        <source>合成铜管1</source>
        <translation>SynthBrass 1</translation>
    </message>
    <message>
        <source>合成铜管2</source>
        <translation>SynthBrass 2</translation>
    </message>
    <message>
        <source>低音萨克管</source>
        <translation>Soprano Sax</translation>
    </message>
    <message>
        <source>中音萨克管</source>
        <translation>Alto Sax</translation>
    </message>
    <message>
        <source>次中音萨克管</source>
        <translation>Tenor Sax</translation>
    </message>
    <message>
        <source>上低音萨克管</source>
        <translation>Baritone Sax</translation>
    </message>
    <message>
        <source>双簧管</source>
        <translation>Oboe</translation>
    </message>
    <message>
        <source>英国管</source>
        <translation>English Horn</translation>
    </message>
    <message>
        <source>低音管</source>
        <translation>Bassoon</translation>
    </message>
    <message>
        <source>单簧管</source>
        <translation>Clarinet</translation>
    </message>
    <message>
        <source>短笛</source>
        <translation>Piccolo</translation>
    </message>
    <message>
        <source>长笛</source>
        <translation>Flute</translation>
    </message>
    <message>
        <source>直笛</source>
        <translation>Recorder</translation>
    </message>
    <message>
        <source>排笛</source>
        <translation>Pan Flute</translation>
    </message>
    <message>
        <source>吹瓶声</source>
        <translation>Blown Bottle</translation>
    </message>
    <message>
        <source>尺八萧</source>
        <translation>Shakuhachi</translation>
    </message>
    <message>
        <source>笛哨声</source>
        <translation>Whistle</translation>
    </message>
    <message>
        <source>陶笛</source>
        <translation>Ocarina</translation>
    </message>
    <message>
        <source>方波</source>
        <translation>Lead 1 (square)</translation>
    </message>
    <message>
        <source>锯齿波</source>
        <translation>Lead 2 (sawtooth)</translation>
    </message>
    <message>
        <source>诗歌</source>
        <translation>Lead 3 (calliope)</translation>
    </message>
    <message>
        <source>合成吹管</source>
        <translation>Lead 4 (chiff)</translation>
    </message>
    <message>
        <source>合成电吉他</source>
        <translation>Lead 5 (charang)</translation>
    </message>
    <message>
        <source>人声键盘</source>
        <translation>Lead 6 (voice)</translation>
    </message>
    <message>
        <source>五度合音</source>
        <translation>Lead 7 (fifths)</translation>
    </message>
    <message>
        <source>贝司前奏</source>
        <translation>Lead 8 (bass + lead)</translation>
    </message>
    <message>
        <source>新时代</source>
        <translation>Pad 1 (new age)</translation>
    </message>
    <message>
        <source>温暖音</source>
        <translation>Pad 2 (warm)</translation>
    </message>
    <message>
        <source>合音</source>
        <translation>Pad 3 (polysynth)</translation>
    </message>
    <message>
        <source>合唱</source>
        <translation>Pad 4 (choir)</translation>
    </message>
    <message>
        <source>弹弓</source>
        <translation>Pad 5 (bowed)</translation>
    </message>
    <message>
        <source>金属</source>
        <translation>Pad 6 (metallic)</translation>
    </message>
    <message>
        <source>光耀</source>
        <translation>Pad 7 (halo)</translation>
    </message>
    <message>
        <source>横扫</source>
        <translation>Pad 8 (sweep)</translation>
    </message>
    <message>
        <source>雨声</source>
        <translation>FX 1 (rain)</translation>
    </message>
    <message>
        <source>音轨</source>
        <translation>FX 2 (soundtrack)</translation>
    </message>
    <message>
        <source>水晶</source>
        <translation>FX 3 (crystal)</translation>
    </message>
    <message>
        <source>大气</source>
        <translation>FX 4 (atmosphere)</translation>
    </message>
    <message>
        <source>明亮</source>
        <translation>FX 5 (brightness)</translation>
    </message>
    <message>
        <source>倩女幽影</source>
        <translation>FX 6 (goblins)</translation>
    </message>
    <message>
        <source>发音</source>
        <translation>FX 7 (echoes)</translation>
    </message>
    <message>
        <source>科幻</source>
        <translation>FX 8 (sci-fi)</translation>
    </message>
    <message>
        <source>西塔琴</source>
        <translation>Sitar</translation>
    </message>
    <message>
        <source>五弦琴</source>
        <translation>Banjo</translation>
    </message>
    <message>
        <source>三味线</source>
        <translation>Shamisen</translation>
    </message>
    <message>
        <source>十三弦琴</source>
        <translation>Koto</translation>
    </message>
    <message>
        <source>卡利玛钟琴</source>
        <translation>Kalimba</translation>
    </message>
    <message>
        <source>苏格兰风笛</source>
        <translation>Bagpipe</translation>
    </message>
    <message>
        <source>古提琴</source>
        <translation>Fiddle</translation>
    </message>
    <message>
        <source>唢呐</source>
        <translation>Shanai</translation>
    </message>
    <message>
        <source>叮当铃</source>
        <translation>Tinkle Bell</translation>
    </message>
    <message>
        <source>阿哥哥鼓</source>
        <translation>Agogo</translation>
    </message>
    <message>
        <source>钢鼓</source>
        <translation>Steel Drums</translation>
    </message>
    <message>
        <source>木块</source>
        <translation>Woodblock</translation>
    </message>
    <message>
        <source>日本太鼓</source>
        <translation>Taiko Drum</translation>
    </message>
    <message>
        <source>古高音鼓</source>
        <translation>Melodic Tom</translation>
    </message>
    <message>
        <source>合成鼓</source>
        <translation>Synth Drum</translation>
    </message>
    <message>
        <source>钹</source>
        <translation>Reverse Cymbal</translation>
    </message>
    <message>
        <source>磨弦</source>
        <translation>Guitar Fret Noise</translation>
    </message>
    <message>
        <source>呼吸</source>
        <translation>Breath Noise</translation>
    </message>
    <message>
        <source>海浪</source>
        <translation>Seashore</translation>
    </message>
    <message>
        <source>鸟鸣</source>
        <translation>Bird Tweet</translation>
    </message>
    <message>
        <source>电话</source>
        <translation>Telephone Ring</translation>
    </message>
    <message>
        <source>直升机</source>
        <translation>Helicopter</translation>
    </message>
    <message>
        <source>拍手</source>
        <translation>Applause</translation>
    </message>
    <message>
        <source>枪声</source>
        <translation>Gunshot</translation>
    </message>
</context>
<context>
    <name>LineEdits</name>
    <message>
        <source>(本句,勿用! Don&apos;t use self!)</source>
        <translation>(this line, don&apos;t use!)</translation>
    </message>
</context>
<context>
    <name>MidiStreamPlayer</name>
    <message>
        <source>很遗憾，你无法听到声音。

这是因为你没有安装声卡

或声卡的 MIDI 驱动程序。

但你仍旧可以欣赏歌词及画面。</source>
        <translation>Sorry, you cannot hear the music.

No sound card or MIDI driver

is installed.

You can still enjoy the lyrics and pictures.</translation>
    </message>
</context>
<context>
    <name>SongSession</name>
    <message>
        <source>打开下列文件时出错!</source>
        <translation>Could not open this file!</translation>
    </message>
</context>
<context>
    <name>melnix::AboutBox</name>
    <message>
        <source>关于 Melnix</source>
        <translation>About Melnix</translation>
    </message>
    <message>
        <source>版本 %1</source>
        <translation>Version %1</translation>
    </message>
    <message>
        <source>卡拉OK歌词同步与字幕制作软件：
为自己的歌曲配上逐字变色的字幕，
配上自己的图片或影像，全屏欣赏。</source>
        <translation>Karaoke lyric timing and subtitle maker:
give your own songs subtitles that change colour word by word,
add your own pictures or video, and enjoy them full screen.</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>melnix::ClosingTexts</name>
    <message>
        <source>(录入的唱词结束)</source>
        <translation>(End of the lyric)</translation>
    </message>
    <message>
        <source>(尚未录入唱词,你可用本软件录入)</source>
        <translation>(No lyric entered yet; you can enter one with Melnix)</translation>
    </message>
    <message>
        <source>配备动态图像,请点击 [欣赏] 按钮</source>
        <translation>For moving pictures, click the [Show] button</translation>
    </message>
    <message>
        <source>欢迎使用 Melnix 卡拉OK歌词制作</source>
        <translation>Welcome to Melnix, the karaoke lyric maker</translation>
    </message>
    <message>
        <source>祝你: 万事如意 快乐每一天</source>
        <translation>Wishing you joy every day</translation>
    </message>
</context>
<context>
    <name>melnix::EditorDialog</name>
    <message>
        <source>歌曲列表文件不能完整读出，已原样保留为：
%1
程序从能读出的部分继续。</source>
        <translation>The song list file could not be read whole; it is kept as it was:
%1
Melnix goes on with what could be read.</translation>
    </message>
</context>
<context>
    <name>melnix::ExchangeDialog</name>
    <message>
        <source>同步歌词交换对话框</source>
        <translation>Lyric Exchange</translation>
    </message>
    <message>
        <source>同步歌词交换：把你亲手同步好的歌词文件连同你的简单资料发送到歌词交换信箱，喜欢同一首歌的网友就能找到你，彼此直接交换同步歌词。</source>
        <translation>Lyric exchange: send the lyric file you timed yourself, with a few details about you, to the lyric exchange mailbox. People who love the same song can find you and swap timed lyrics with you directly.</translation>
    </message>
    <message>
        <source>注意：下面填写的个人资料（网名、性别、年龄、地域、QQ号码、主页、EMail和给网友的留言）将会公开，供其他网友与你联系。</source>
        <translation>Note: the details you fill in below (name, sex, age, region, QQ number, home page, e-mail and your message to others) will be made public so that others can contact you.</translation>
    </message>
    <message>
        <source>本软件作者只负责整理和转发交流者的联系名单，不替任何人交换或保管歌词。</source>
        <translation>The author of this program only collects and passes on the list of contacts; he does not exchange or keep lyrics for anyone.</translation>
    </message>
    <message>
        <source>请不要发送较大的.MP3等歌曲文件，只需在下面写明可以下载它的网址。</source>
        <translation>Please do not send large song files such as .MP3; just give below the address where it can be downloaded.</translation>
    </message>
    <message>
        <source>你要发送的歌词文件是:</source>
        <translation>Lyric file to send:</translation>
    </message>
    <message>
        <source>其歌曲名称是:</source>
        <translation>Song title:</translation>
    </message>
    <message>
        <source>原文件(如.MP3)可在网站</source>
        <translation>Original (e.g. .MP3) at:</translation>
    </message>
    <message>
        <source>里下载。</source>
        <translation>for download.</translation>
    </message>
    <message>
        <source>网(姓)名:</source>
        <translation>Name:</translation>
    </message>
    <message>
        <source>男</source>
        <translation>Male</translation>
    </message>
    <message>
        <source>女</source>
        <translation>Female</translation>
    </message>
    <message>
        <source>年龄:</source>
        <translation>Age:</translation>
    </message>
    <message>
        <source>地域:</source>
        <translation>Region:</translation>
    </message>
    <message>
        <source>QQ号码:</source>
        <translation>QQ number:</translation>
    </message>
    <message>
        <source>主页:</source>
        <translation>Home page:</translation>
    </message>
    <message>
        <source>EMail:</source>
        <translation>E-mail:</translation>
    </message>
    <message>
        <source>(此项必须填写正确)</source>
        <translation>(must be correct)</translation>
    </message>
    <message>
        <source>给软件作者的留言:</source>
        <translation>Message to the author:</translation>
    </message>
    <message>
        <source>给网友的留言:</source>
        <translation>Message to others:</translation>
    </message>
    <message>
        <source>发送</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>我已熟知上述条款，我要</source>
        <translation>I have read the terms above and want to</translation>
    </message>
    <message>
        <source>我不想发送，我要</source>
        <translation>I do not want to send, so</translation>
    </message>
    <message>
        <source>本机尚未拨号! 你有局域网可发送邮件吗？

如果你选择‘是’，但又不能发送，可能导致死机.</source>
        <translation>This computer has not dialled up! Can you send mail through a local network?

If you choose &apos;Yes&apos; but mail cannot be sent, the program may stop responding.</translation>
    </message>
    <message>
        <source>发送成功！恭喜你。<byte value="xd"/>
</source>
        <translation>Sent successfully! Congratulations.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>抱歉，发送失败！<byte value="xd"/>
<byte value="xd"/>
你可能没有拨号，或者没有填写你正确的Email地址。<byte value="xd"/>
</source>
        <translation>Sorry, sending failed!<byte value="xd"/>
<byte value="xd"/>
You may not be connected, or your e-mail address may not be correct.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source><byte value="xd"/>
如果你通过拨号上网，别忘了断线呀！</source>
        <translation><byte value="xd"/>
If you use a dial-up connection, remember to hang up!</translation>
    </message>
    <message>
        <source>正在发送...</source>
        <translation>Sending...</translation>
    </message>
    <message>
        <source>正在取消...</source>
        <translation>Cancelling...</translation>
    </message>
    <message>
        <source>正在发送到 %1...</source>
        <translation>Sending to %1...</translation>
    </message>
</context>
<context>
    <name>melnix::HelpDialog</name>
    <message>
        <source>帮助信息对话框</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>关于本软件...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>关 闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>打开保存歌曲列表和设置的目录: %1</source>
        <translation>Open the folder of the song list and settings: %1</translation>
    </message>
    <message>
        <source>在文件管理器中打开这个目录</source>
        <translation>Open this folder in the file manager</translation>
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
    Ctrl+上/下箭头键：把歌曲升高/降低一个半音，速度不变，每首歌曲各自记住；Ctrl+0：复位到原调。欣赏时右键菜单的“升降调”中也能改变。
    Ctrl+Z：撤销；Ctrl+Y 或 Ctrl+Shift+Z：重做；Ctrl+S：保存；Ctrl+O：打开文件；F1：帮助；F5：欣赏；Ctrl+Q：退出；Esc：取消正在进行的添加、修改等操作。
    窗口菜单(在字幕区、波形区和歌词调整区以外单击右键)中有撤销、重做、移动歌词时间和同步键的选择。

七、补充资料

    打开过的歌曲列表及各项设置保存在 %1 目录下的 KTextParam.rec 文件中，删除它即可恢复初始状态。本软件的更新请留意发布它的网站。
</source>
        <translation>                         Melnix  Karaoke Subtitle Maker
                              User&apos;s Guide

I. What the program does

    Take the songs you love (MP3, WAV, MIDI, video files and more), give them karaoke subtitles that change colour word by word, add your own photos, pictures or video, and you have a karaoke show of your own to watch full screen. The lyric timing can be kept at the end of the song file or saved as a synchronised lyric file (.MLX), and LRC and KSC lyrics made by others can be read too.

II. The editor window

    At the top is the subtitle area: it shows the current lyric line, which changes colour as it is sung. Below it is the waveform area, with the song&apos;s volume waveform, the melody notes of a MIDI song or a time scale. The strip under that is the lyric timing area, where every character sits at the time it is sung. Further down come the playback buttons, the lyric editing buttons, the lyric box, the playback speed, the progress bar, and the current position, song length and file size. Rest the mouse anywhere and the tip bar at the bottom tells what it does.

III. Step by step

1. Open a song (*.MP3, *.MID, *.WAV, *.MPG and more)
    Click [Song List] to pick a song you opened before or add new ones, or click [File] to open a song directly.

2. Enter the lyrics
    Click [Add], type one lyric line in the box (15 characters at most) and click the OK button; or click [Import Lyrics] to bring in all the lyrics at once from a text file or the clipboard.

3. Set the timing
    Choose a slower playback speed (0.5x keeps the pitch and suits timing best) and, as the song plays, click the [Sync] button in time with the singing, once for each character; or sweep the left mouse button across the whole line in the subtitle area. Then drag single characters to their exact times in the lyric timing area. Finally click [Export] or [Save] to store your work.

4. Give the song background pictures (*.jpg and more) or a video (*.MPG)
    Select the song in [Song List], click [Background], and choose a set of pictures or a video. Choosing a single picture chooses every picture in its folder.

IV. Tips and tricks

1. Repeated lines need not be typed again: when adding, open the drop-down of the lyric box and pick the same line entered before.
2. A repeated line with the same rhythm can borrow the timing of another line with the [Ref.] (reference) button.
3. If a line starts after a long wait, hold down the right mouse button in the subtitle area and release it when the singing starts.
4. Sweeping the left mouse button across the whole line in the subtitle area while the song plays gives the line a rough timing very quickly.
5. Plain-text lyrics found on the web can be copied to the clipboard and read in with &quot;Import from the clipboard&quot; under [Import Lyrics].
6. For a MIDI song, [Tracks] can play the melody track alone; then every character matches one note, and a right click in the lyric timing area times the line by the melody.
7. The [Sync] button: from the start of the line, click once for every character sung; when the line is sung, its timing is done.

V. Enjoy the result

    Click [Show] and the song plays full screen with its colour-changing subtitles and background pictures or video.

VI. Keyboard

    Enter (can be changed to F, J or the Down arrow under &quot;Sync Key&quot; in the window menu): press once for every character sung, like the [Sync] button; holding it down does not repeat. Backspace: goes back one character, so the next sync times it again.
    Space: play/pause. Left and Right arrows: scroll the waveform area like [&lt;] and [&gt;]. Ctrl+Left/Right arrow: move this line and the lines after it 0.1 second earlier/later (the window menu can move all the lyrics too).
    Ctrl+Up/Down arrow: raise/lower the song one semitone without changing its speed; each song keeps its own key. Ctrl+0: back to the song&apos;s own key. In the show, the right-click menu&apos;s &quot;Key&quot; item changes it too.
    Ctrl+Z: undo. Ctrl+Y or Ctrl+Shift+Z: redo. Ctrl+S: save. Ctrl+O: open a file. F1: help. F5: show. Ctrl+Q: quit. Esc: cancel the adding, changing or other editing under way.
    The window menu (right-click outside the subtitle, waveform and lyric timing areas) holds undo, redo, moving the lyric times and the choice of sync key.

VII. More information

    The list of songs you opened and all the settings are kept in the file KTextParam.rec in the folder %1; delete it to start afresh. For updates, watch the site the program was published on.
</translation>
    </message>
</context>
<context>
    <name>melnix::ImportDialog</name>
    <message>
        <source>歌词文本</source>
        <translation>Lyric texts</translation>
    </message>
    <message>
        <source>所有文件</source>
        <translation>All files</translation>
    </message>
    <message>
        <source>文本文件</source>
        <translation>Text files</translation>
    </message>
    <message>
        <source>导入同步歌词∕歌词文本</source>
        <translation>Import Timed Lyrics / Lyric Text</translation>
    </message>
    <message>
        <source>直接打开同步
歌词文件(.MLX)</source>
        <translation>Open a timed
lyric file (.MLX)</translation>
    </message>
    <message>
        <source>从
文本文件
导入</source>
        <translation>Import
from a
text file</translation>
    </message>
    <message>
        <source>从
剪贴板
导入</source>
        <translation>Import
from the
clipboard</translation>
    </message>
    <message>
        <source>   点击下面的“确定使用”之前，请在左边的编辑框中预处理歌词，要求每行不超过15个汉字，建议不要标点。</source>
        <translation>   Before clicking &quot;Use the lyrics&quot; below, tidy the lyrics in the edit box on the left: at most 15 characters a line, preferably without punctuation.</translation>
    </message>
    <message>
        <source>去标点</source>
        <translation>No punctuation</translation>
    </message>
    <message>
        <source>自动断行</source>
        <translation>Break lines</translation>
    </message>
    <message>
        <source>确定使用
编辑框中的歌词</source>
        <translation>Use the lyrics
in the edit box</translation>
    </message>
    <message>
        <source>方式:</source>
        <translation>Mode:</translation>
    </message>
    <message>
        <source>追加</source>
        <translation>Append</translation>
    </message>
    <message>
        <source>替换</source>
        <translation>Replace</translation>
    </message>
    <message>
        <source>保存编辑框</source>
        <translation>Save the text</translation>
    </message>
    <message>
        <source>放弃</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>编辑框中有的行太长！</source>
        <translation>Some lines in the edit box are too long!</translation>
    </message>
    <message>
        <source>Melnix</source>
        <translation>Melnix</translation>
    </message>
    <message>
        <source>编辑框中无内容！</source>
        <translation>The edit box is empty!</translation>
    </message>
    <message>
        <source>下列文件打开失败</source>
        <translation>Could not open this file</translation>
    </message>
    <message>
        <source>请打开相应的歌词文件</source>
        <translation>Open the lyric file</translation>
    </message>
    <message>
        <source>保存到下列文件时，出现错误，保存失败!</source>
        <translation>Saving to this file failed!</translation>
    </message>
    <message>
        <source>编辑框中内容更改后尚未保存!

你需要保存吗？</source>
        <translation>The text in the edit box has changed and is not saved!

Do you want to save it?</translation>
    </message>
    <message>
        <source>警告</source>
        <translation>Warning</translation>
    </message>
</context>
<context>
    <name>melnix::PictureWindow</name>
    <message>
        <source>恢复播放</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>暂    停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source> (空格键)</source>
        <translation> (Space)</translation>
    </message>
    <message>
        <source>当前图片</source>
        <translation>Current picture</translation>
    </message>
    <message>
        <source>图像原点阵显示</source>
        <translation>Actual size</translation>
    </message>
    <message>
        <source>图像平铺</source>
        <translation>Tiled</translation>
    </message>
    <message>
        <source>图像大小充满</source>
        <translation>Fill the window</translation>
    </message>
    <message>
        <source>图像大小自动</source>
        <translation>Automatic size</translation>
    </message>
    <message>
        <source>下一张图像 (↓)</source>
        <translation>Next picture (↓)</translation>
    </message>
    <message>
        <source>前一张图像 (↑)</source>
        <translation>Previous picture (↑)</translation>
    </message>
    <message>
        <source>图片切换模式</source>
        <translation>Picture transitions...</translation>
    </message>
    <message>
        <source>预备图片密码</source>
        <translation>Picture passwords...</translation>
    </message>
    <message>
        <source>另选一组图片</source>
        <translation>Choose other pictures</translation>
    </message>
    <message>
        <source>从头听...</source>
        <translation>Play from the start...</translation>
    </message>
    <message>
        <source>选择歌曲</source>
        <translation>Choose song</translation>
    </message>
    <message>
        <source>导出视频...</source>
        <translation>Export video...</translation>
    </message>
    <message>
        <source>背景颜色</source>
        <translation>Background colour</translation>
    </message>
    <message>
        <source>字幕字体</source>
        <translation>Subtitle font</translation>
    </message>
    <message>
        <source>窗口尺寸</source>
        <translation>Window size</translation>
    </message>
    <message>
        <source>全屏幕</source>
        <translation>Full screen</translation>
    </message>
    <message>
        <source>全桌面</source>
        <translation>Whole desktop</translation>
    </message>
    <message>
        <source>在外屏上显示</source>
        <translation>Show on the other screen</translation>
    </message>
    <message>
        <source>返回编辑界面(Esc)</source>
        <translation>Back to the editor (Esc)</translation>
    </message>
    <message>
        <source>帮    助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>退    出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>预备的图片密码</source>
        <translation>Picture passwords</translation>
    </message>
    <message>
        <source>以便后面能播放你的加密图片</source>
        <translation>so that your scrambled pictures can be shown later</translation>
    </message>
    <message>
        <source>请你输入</source>
        <translation>Please type it</translation>
    </message>
    <message>
        <source>在本屏上显示</source>
        <translation>Show on this screen</translation>
    </message>
    <message>
        <source>升降调</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>升高音调</source>
        <translation>Raise the key</translation>
    </message>
    <message>
        <source>降低音调</source>
        <translation>Lower the key</translation>
    </message>
    <message>
        <source>复 位</source>
        <translation>Reset</translation>
    </message>
</context>
<context>
    <name>melnix::PromptDialog</name>
    <message>
        <source>的加密密码:</source>
        <translation>New password for the file above:</translation>
    </message>
    <message>
        <source>请你输入</source>
        <translation>Please enter</translation>
    </message>
    <message>
        <source>确定(&amp;O)</source>
        <translation>&amp;OK</translation>
    </message>
    <message>
        <source>取消(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>为了复核,请你再输入一遍</source>
        <translation>Please enter it again to confirm</translation>
    </message>
    <message>
        <source>复核不成功,请你输入</source>
        <translation>The entries differ; please enter it again</translation>
    </message>
    <message>
        <source>的密码:</source>
        <translation>Password for the file above:</translation>
    </message>
    <message>
        <source>密码不正确,请再输入一遍</source>
        <translation>Wrong password; please enter it again</translation>
    </message>
</context>
<context>
    <name>melnix::SaveDialog</name>
    <message>
        <source>保存∕导出同步歌词，请选择：</source>
        <translation>Save / Export Timed Lyrics</translation>
    </message>
    <message>
        <source>保存在当前的音乐文件中</source>
        <translation>Save in the current song file</translation>
    </message>
    <message>
        <source>保存到下列同步文件中</source>
        <translation>Save to this lyric file</translation>
    </message>
    <message>
        <source>另存为其他文件</source>
        <translation>Save as another file</translation>
    </message>
    <message>
        <source>放弃保存操作</source>
        <translation>Don&apos;t save</translation>
    </message>
</context>
<context>
    <name>melnix::SongListDialog</name>
    <message>
        <source>打开你想听的歌曲吧</source>
        <translation>Song List</translation>
    </message>
    <message>
        <source>歌曲文件名</source>
        <translation>Song file</translation>
    </message>
    <message>
        <source>类型</source>
        <translation>Type</translation>
    </message>
    <message>
        <source>歌词</source>
        <translation>Lyrics</translation>
    </message>
    <message>
        <source>长度</source>
        <translation>Length</translation>
    </message>
    <message>
        <source>所在目录</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>另配的同步歌词</source>
        <translation>Lyric file</translation>
    </message>
    <message>
        <source>图片文件目录</source>
        <translation>Picture folder</translation>
    </message>
    <message>
        <source>我 要 打 开 新 的 歌 曲 文 件</source>
        <translation>Open new song files</translation>
    </message>
    <message>
        <source>开  听</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>从列表中删除</source>
        <translation>Remove from list</translation>
    </message>
    <message>
        <source>背景图像/音乐</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>匹配歌词</source>
        <translation>Match lyrics</translation>
    </message>
    <message>
        <source>交流同步歌词</source>
        <translation>Exchange lyrics</translation>
    </message>
    <message>
        <source>返回</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>以前打开的文件列表: (单击项目标题可排序)</source>
        <translation>Songs opened before (click a column heading to sort):</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>Unknown</translation>
    </message>
    <message>
        <source>自带</source>
        <translation>Own</translation>
    </message>
    <message>
        <source>不带</source>
        <translation>None</translation>
    </message>
    <message>
        <source>请打开一个或一组音像文件</source>
        <translation>Open one or more audio or video files</translation>
    </message>
    <message>
        <source>媒体本身是电影，可以选一个或一组音乐做背景</source>
        <translation>The song is a video: choose one or more music files as its background</translation>
    </message>
    <message>
        <source>可选一组图片或一组电影做背景 (如果只选一个图片,等于选择该目录下所有图片)</source>
        <translation>Choose pictures or videos as the background (choosing a single picture chooses every picture in its folder)</translation>
    </message>
    <message>
        <source>音乐文件</source>
        <translation>Music files</translation>
    </message>
    <message>
        <source>图片文件</source>
        <translation>Pictures</translation>
    </message>
    <message>
        <source>视频文件</source>
        <translation>Videos</translation>
    </message>
    <message>
        <source>常见音乐类型</source>
        <translation>Common song types</translation>
    </message>
    <message>
        <source>所有音像类型</source>
        <translation>All audio and video types</translation>
    </message>
    <message>
        <source>如果只选一个文件，则表示选择了该目录下所有图片!

你选择的文件是已加密的，你现在有机会

将该目录下所有已加密的图片文件 解密。

你 需 要 这 样 做 吗 ？</source>
        <translation>Choosing a single file chooses every picture in its folder!

The file you chose is encrypted. You can now

decrypt all the encrypted pictures in this folder.

Do you want to do that?</translation>
    </message>
    <message>
        <source>如果只选一个文件，则表示选择了该目录下所有图片!

你选择的文件是未加密的，你现在有机会

将该目录下所有未加密的图片文件 加密。

你 需 要 这 样 做 吗 ？</source>
        <translation>Choosing a single file chooses every picture in its folder!

The file you chose is not encrypted. You can now

encrypt all the unencrypted pictures in this folder.

Do you want to do that?</translation>
    </message>
    <message>
        <source>升降调 %1 个半音</source>
        <translation>key %1 semitones</translation>
    </message>
    <message>
        <source>所有文件</source>
        <translation>All files</translation>
    </message>
</context>
<context>
    <name>melnix::SubtitleWindow</name>
    <message>
        <source>暂    停</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>从头听...</source>
        <translation>Play from the start...</translation>
    </message>
    <message>
        <source>选择歌曲</source>
        <translation>Choose song</translation>
    </message>
    <message>
        <source>导出视频...</source>
        <translation>Export video...</translation>
    </message>
    <message>
        <source>字幕字体</source>
        <translation>Subtitle font</translation>
    </message>
    <message>
        <source>显示画面</source>
        <translation>Show the pictures</translation>
    </message>
    <message>
        <source>返回编辑界面(Esc)</source>
        <translation>Back to the editor (Esc)</translation>
    </message>
    <message>
        <source>隐    藏</source>
        <translation>Hide</translation>
    </message>
    <message>
        <source>帮    助</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>退    出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>恢复播放</source>
        <translation>Resume</translation>
    </message>
    <message>
        <source>字幕区: 演唱时,用鼠标左键同步划过整个语句可初步定其时,若该句需很久才唱,可压住右键等待 </source>
        <translation>Subtitle area: while singing, sweep across a whole line with the left button to time it roughly; if the line is sung much later, hold the right button down until then </translation>
    </message>
    <message>
        <source>升降调</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>升高音调</source>
        <translation>Raise the key</translation>
    </message>
    <message>
        <source>降低音调</source>
        <translation>Lower the key</translation>
    </message>
    <message>
        <source>复 位</source>
        <translation>Reset</translation>
    </message>
</context>
<context>
    <name>melnix::TrackDialog</name>
    <message>
        <source>  播放</source>
        <translation>  Play</translation>
    </message>
    <message>
        <source> 不播放</source>
        <translation> Muted</translation>
    </message>
    <message>
        <source>主旋律</source>
        <translation>Melody</translation>
    </message>
    <message>
        <source>可能是</source>
        <translation>Maybe</translation>
    </message>
    <message>
        <source>默认</source>
        <translation>Default</translation>
    </message>
    <message>
        <source>MIDI音轨</source>
        <translation>MIDI Tracks</translation>
    </message>
    <message>
        <source>轨号</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>播放状态</source>
        <translation>Playing</translation>
    </message>
    <message>
        <source>音轨名称</source>
        <translation>Track name</translation>
    </message>
    <message>
        <source>音符数</source>
        <translation>Notes</translation>
    </message>
    <message>
        <source>音量</source>
        <translation>Volume</translation>
    </message>
    <message>
        <source>乐器中文名</source>
        <translation>Instrument</translation>
    </message>
    <message>
        <source>乐器英文名</source>
        <translation>GM instrument</translation>
    </message>
    <message>
        <source>在下列列表中双击“播放状态”、“主旋律”、“音量”、“乐器名称”可改变其值。</source>
        <translation>Double-click &quot;Playing&quot;, &quot;Melody&quot;, &quot;Volume&quot; or an instrument name in the list to change it.</translation>
    </message>
    <message>
        <source>确 定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>反选播放状态</source>
        <translation>Invert playing</translation>
    </message>
    <message>
        <source>复 位</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>只播主旋律</source>
        <translation>Melody only</translation>
    </message>
    <message>
        <source>取 消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>melnix::TransitionDialog</name>
    <message>
        <source>直接切换</source>
        <translation>Cut</translation>
    </message>
    <message>
        <source>向下</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>向右</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>向上</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>向左</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>左面</source>
        <translation>From the left</translation>
    </message>
    <message>
        <source>右面</source>
        <translation>From the right</translation>
    </message>
    <message>
        <source>上面</source>
        <translation>From the top</translation>
    </message>
    <message>
        <source>下面</source>
        <translation>From the bottom</translation>
    </message>
    <message>
        <source>左上</source>
        <translation>Top left</translation>
    </message>
    <message>
        <source>右上</source>
        <translation>Top right</translation>
    </message>
    <message>
        <source>右下</source>
        <translation>Bottom right</translation>
    </message>
    <message>
        <source>左下</source>
        <translation>Bottom left</translation>
    </message>
    <message>
        <source>向四周1</source>
        <translation>Outwards 1</translation>
    </message>
    <message>
        <source>向四周2</source>
        <translation>Outwards 2</translation>
    </message>
    <message>
        <source>向上下</source>
        <translation>Up and down</translation>
    </message>
    <message>
        <source>向左右</source>
        <translation>Left and right</translation>
    </message>
    <message>
        <source>从四周</source>
        <translation>From all sides</translation>
    </message>
    <message>
        <source>从圆周</source>
        <translation>From the circle</translation>
    </message>
    <message>
        <source>从上下</source>
        <translation>From top and bottom</translation>
    </message>
    <message>
        <source>从左右</source>
        <translation>From left and right</translation>
    </message>
    <message>
        <source>下左</source>
        <translation>Down left</translation>
    </message>
    <message>
        <source>上右</source>
        <translation>Up right</translation>
    </message>
    <message>
        <source>纵格向右</source>
        <translation>Columns rightwards</translation>
    </message>
    <message>
        <source>纵格向左</source>
        <translation>Columns leftwards</translation>
    </message>
    <message>
        <source>横格向下</source>
        <translation>Rows downwards</translation>
    </message>
    <message>
        <source>横格向上</source>
        <translation>Rows upwards</translation>
    </message>
    <message>
        <source>闪电1</source>
        <translation>Lightning 1</translation>
    </message>
    <message>
        <source>闪电2</source>
        <translation>Lightning 2</translation>
    </message>
    <message>
        <source>飞行</source>
        <translation>Flight</translation>
    </message>
    <message>
        <source>轨迹</source>
        <translation>Track</translation>
    </message>
    <message>
        <source>心形1</source>
        <translation>Heart 1</translation>
    </message>
    <message>
        <source>心形2</source>
        <translation>Heart 2</translation>
    </message>
    <message>
        <source>圆形1</source>
        <translation>Circle 1</translation>
    </message>
    <message>
        <source>圆形2</source>
        <translation>Circle 2</translation>
    </message>
    <message>
        <source>菱形1</source>
        <translation>Diamond 1</translation>
    </message>
    <message>
        <source>菱形2</source>
        <translation>Diamond 2</translation>
    </message>
    <message>
        <source>时钟1</source>
        <translation>Clock 1</translation>
    </message>
    <message>
        <source>时钟2</source>
        <translation>Clock 2</translation>
    </message>
    <message>
        <source>向某个方向覆盖 </source>
        <translation>Cover in one direction </translation>
    </message>
    <message>
        <source>从某个方向飞来</source>
        <translation>Fly in from one side</translation>
    </message>
    <message>
        <source>从中间逐渐向外扩</source>
        <translation>Grow from the middle</translation>
    </message>
    <message>
        <source>从外向中间收缩 </source>
        <translation>Shrink to the middle </translation>
    </message>
    <message>
        <source>百叶窗动作 </source>
        <translation>Blinds </translation>
    </message>
    <message>
        <source>其他方式 </source>
        <translation>Others </translation>
    </message>
    <message>
        <source>请选择图片切换模式</source>
        <translation>Choose the picture transitions</translation>
    </message>
    <message>
        <source>全选</source>
        <translation>All</translation>
    </message>
    <message>
        <source>全不选</source>
        <translation>None</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>melnix::VideoExport</name>
    <message>
        <source>较小的文件</source>
        <translation>Smaller file</translation>
    </message>
    <message>
        <source>普通</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>高画质</source>
        <translation>High quality</translation>
    </message>
    <message>
        <source>正在导出视频...</source>
        <translation>Exporting video...</translation>
    </message>
    <message>
        <source>正在导出视频...  剩余约 %1 分 %2 秒</source>
        <translation>Exporting video...  about %1 min %2 s left</translation>
    </message>
    <message>
        <source>导出视频</source>
        <translation>Export Video</translation>
    </message>
    <message>
        <source>浏览...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>视频文件:</source>
        <translation>Video file:</translation>
    </message>
    <message>
        <source>画面尺寸:</source>
        <translation>Picture size:</translation>
    </message>
    <message>
        <source>画质:</source>
        <translation>Quality:</translation>
    </message>
    <message>
        <source>导出</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>MP4 视频 (*.mp4)</source>
        <translation>MP4 video (*.mp4)</translation>
    </message>
    <message>
        <source>请先打开一首歌曲</source>
        <translation>Please open a song first</translation>
    </message>
    <message>
        <source>正在取消...</source>
        <translation>Cancelling...</translation>
    </message>
    <message>
        <source>视频已导出</source>
        <translation>The video has been exported</translation>
    </message>
    <message>
        <source>导出视频时出现错误，导出失败!</source>
        <translation>Exporting the video failed!</translation>
    </message>
</context>
</TS>
