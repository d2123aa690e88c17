<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="zh_CN">
<context>
    <name>LumiqConfigTool</name>
    <message>
        <source>Lumiq配置工具U口(ZR系列)v2.0.7</source>
        <translation>Lumiq Config Tool USB (ZR series) v2.0.7</translation>
    </message>
    <message>
        <source>连接设备</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>退出</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>关于 LumiqConfigTool(&amp;A)...</source>
        <translation>&amp;About LumiqConfigTool...</translation>
    </message>
    <message>
        <source>关于 LumiqConfigTool</source>
        <translation>About LumiqConfigTool</translation>
    </message>
    <message>
        <source>LumiqConfigTool 1.0 版</source>
        <translation>LumiqConfigTool 1.0</translation>
    </message>
    <message>
        <source>版权所有 (C) 2016 Lumiq 开发组</source>
        <translation>Copyright (C) 2016 Lumiq team</translation>
    </message>
    <message>
        <source>确定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>导入配置...</source>
        <translation>Import...</translation>
    </message>
    <message>
        <source>导出配置...</source>
        <translation>Export...</translation>
    </message>
    <message>
        <source>码制设置</source>
        <translation>Symbologies</translation>
    </message>
    <message>
        <source>输出方式</source>
        <translation>Output method</translation>
    </message>
    <message>
        <source>输出格式</source>
        <translation>Output format</translation>
    </message>
    <message>
        <source>控制设置</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>关于</source>
        <translation>About</translation>
    </message>
    <message>
        <source>条码</source>
        <translation>1D</translation>
    </message>
    <message>
        <source>PDF417码</source>
        <translation>PDF417</translation>
    </message>
    <message>
        <source>反码</source>
        <translation>Inverse</translation>
    </message>
    <message>
        <source>镜像码</source>
        <translation>Mirror</translation>
    </message>
    <message>
        <source>HID模拟键盘输出</source>
        <translation>HID keyboard</translation>
    </message>
    <message>
        <source>WIFI输出</source>
        <translation>Wi-Fi</translation>
    </message>
    <message>
        <source>蓝牙输出</source>
        <translation>Bluetooth</translation>
    </message>
    <message>
        <source>蓝牙名称</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>设备WIFI</source>
        <translation>Device</translation>
    </message>
    <message>
        <source>连入WIFI</source>
        <translation>Join</translation>
    </message>
    <message>
        <source>方式</source>
        <translation>Via</translation>
    </message>
    <message>
        <source>认证模式</source>
        <translation>Auth</translation>
    </message>
    <message>
        <source>加密方式</source>
        <translation>Cipher</translation>
    </message>
    <message>
        <source>秘钥</source>
        <translation>Key</translation>
    </message>
    <message>
        <source>服务器地址</source>
        <translation>Server</translation>
    </message>
    <message>
        <source>服务器端口</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>服务器路径</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>COM输出</source>
        <translation>COM</translation>
    </message>
    <message>
        <source>波特率</source>
        <translation>Baud</translation>
    </message>
    <message>
        <source>停止位</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>数据位</source>
        <translation>Data</translation>
    </message>
    <message>
        <source>校验位</source>
        <translation>Parity</translation>
    </message>
    <message>
        <source>WIFI协议模式</source>
        <translation>Wi-Fi protocol</translation>
    </message>
    <message>
        <source>回车</source>
        <translation>CR</translation>
    </message>
    <message>
        <source>换行</source>
        <translation>LF</translation>
    </message>
    <message>
        <source>条码二维码前缀</source>
        <translation>Code prefix</translation>
    </message>
    <message>
        <source>条码二维码后缀</source>
        <translation>Code suffix</translation>
    </message>
    <message>
        <source>NFC前缀</source>
        <translation>NFC prefix</translation>
    </message>
    <message>
        <source>NFC后缀</source>
        <translation>NFC suffix</translation>
    </message>
    <message>
        <source>条码二维码前后缀格式</source>
        <translation>Code affixes as</translation>
    </message>
    <message>
        <source>NFC前后缀格式</source>
        <translation>NFC affixes as</translation>
    </message>
    <message>
        <source>hid键盘按下时间</source>
        <translation>Key down time</translation>
    </message>
    <message>
        <source>hid键盘抬起时间</source>
        <translation>Key up time</translation>
    </message>
    <message>
        <source>毫秒</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>NFC读取方式：</source>
        <translation>NFC read:</translation>
    </message>
    <message>
        <source>正常</source>
        <translation>Once</translation>
    </message>
    <message>
        <source>连续</source>
        <translation>Loop</translation>
    </message>
    <message>
        <source>扫码扬声器</source>
        <translation>Scan beep</translation>
    </message>
    <message>
        <source>工作模式</source>
        <translation>Mode</translation>
    </message>
    <message>
        <source>扫码间隔</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>普通模式</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>单次模式</source>
        <translation>Single</translation>
    </message>
    <message>
        <source>间隔模式</source>
        <translation>Interval</translation>
    </message>
    <message>
        <source>NFC开关</source>
        <translation>NFC on</translation>
    </message>
    <message>
        <source>串口开发模式</source>
        <translation>Serial dev</translation>
    </message>
    <message>
        <source>HID开发模式</source>
        <translation>HID dev</translation>
    </message>
    <message>
        <source>普通扫码模式</source>
        <translation>Normal scan</translation>
    </message>
    <message>
        <source>开发模式</source>
        <translation>Develop</translation>
    </message>
    <message>
        <source>二维码输出格式</source>
        <translation>Code format</translation>
    </message>
    <message>
        <source>内容输出格式</source>
        <translation>Text format</translation>
    </message>
    <message>
        <source>起始位：</source>
        <translation>Start:</translation>
    </message>
    <message>
        <source>结束位：</source>
        <translation>End:</translation>
    </message>
    <message>
        <source>NFC输出字节数</source>
        <translation>NFC bytes</translation>
    </message>
    <message>
        <source>解码模式：</source>
        <translation>Decoder:</translation>
    </message>
    <message>
        <source>引擎1解码</source>
        <translation>Engine 1</translation>
    </message>
    <message>
        <source>引擎2解码</source>
        <translation>Engine 2</translation>
    </message>
    <message>
        <source>重启开灯</source>
        <translation>Light on</translation>
    </message>
    <message>
        <source>重启开红灯</source>
        <translation>Red light</translation>
    </message>
    <message>
        <source>重启开粉灯</source>
        <translation>Pink light</translation>
    </message>
    <message>
        <source>重启关灯</source>
        <translation>Light off</translation>
    </message>
    <message>
        <source>NFC扬声器</source>
        <translation>NFC beep</translation>
    </message>
    <message>
        <source>NFC输出格式</source>
        <translation>NFC format</translation>
    </message>
    <message>
        <source>刷卡扫码行为设置</source>
        <translation>On a scan or a card read</translation>
    </message>
    <message>
        <source>扫码闪红灯</source>
        <translation>Red on scan</translation>
    </message>
    <message>
        <source>刷卡闪红灯</source>
        <translation>Red on card</translation>
    </message>
    <message>
        <source>版本信息</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>设备号</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>连接设备失败，请检查设备是否插入或重试!</source>
        <translation>Connecting failed. Check that the scanner is plugged in, or try again.</translation>
    </message>
    <message>
        <source>获取设备版本信息失败，请检查设备是否插入或重试!</source>
        <translation>Reading the scanner's version failed. Check that it is plugged in, or try again.</translation>
    </message>
    <message>
        <source>连接设备成功!</source>
        <translation>Connected.</translation>
    </message>
    <message>
        <source>原因：未找到设备。</source>
        <translation>Cause: no scanner found.</translation>
    </message>
    <message>
        <source>原因：没有打开设备的权限。软件包的 udev 规则 /usr/lib/udev/rules.d/70-lumiq-scanner.rules 只允许在本机座位前登录的用户打开设备（uaccess），ssh 会话和其他用户会被拒绝，请在本机登录后使用或以 root 运行。</source>
        <translation>Cause: no permission to open the scanner. The package's udev rule /usr/lib/udev/rules.d/70-lumiq-scanner.rules lets only the user logged in at this computer's seat open the scanner (uaccess); ssh sessions and other users are refused: log in at the computer, or run as root.</translation>
    </message>
    <message>
        <source>原因：没有打开设备的权限。软件包的 udev 规则 /usr/lib/udev/rules.d/70-lumiq-scanner.rules 只允许在本机座位前登录的用户打开设备（uaccess），ssh 会话和其他用户会被拒绝，请在本机登录后使用或以 root 运行；从源码构建时，请将 %1 复制到 /etc/udev/rules.d/ 后重新插入设备。</source>
        <translation>Cause: no permission to open the scanner. The package's udev rule /usr/lib/udev/rules.d/70-lumiq-scanner.rules lets only the user logged in at this computer's seat open the scanner (uaccess); ssh sessions and other users are refused: log in at the computer, or run as root; in a source build, copy %1 to /etc/udev/rules.d/ and plug the scanner in again.</translation>
    </message>
    <message>
        <source>原因：没有打开设备的权限。</source>
        <translation>Cause: no permission to open the scanner.</translation>
    </message>
    <message>
        <source>原因：设备正被另一个程序使用。</source>
        <translation>Cause: another program is using the scanner.</translation>
    </message>
    <message>
        <source>原因：设备没有应答。</source>
        <translation>Cause: the scanner does not answer.</translation>
    </message>
    <message>
        <source>保存成功!</source>
        <translation>Saved.</translation>
    </message>
    <message>
        <source>保存失败，请检查设备是否插入或重试!</source>
        <translation>Saving failed. Check that the scanner is plugged in, or try again.</translation>
    </message>
    <message>
        <source>扫描测试...</source>
        <translation>Test scan...</translation>
    </message>
    <message>
        <source>扫描测试</source>
        <translation>Test scan</translation>
    </message>
    <message>
        <source>关闭</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>串口</source>
        <translation>Serial port</translation>
    </message>
    <message>
        <source>条码：前缀 %1  后缀 %2  结尾 %3</source>
        <translation>Codes: prefix %1  suffix %2  end %3</translation>
    </message>
    <message>
        <source>卡片：前缀 %1  后缀 %2  结尾 %3</source>
        <translation>Cards: prefix %1  suffix %2  end %3</translation>
    </message>
    <message>
        <source>无</source>
        <translation>nothing</translation>
    </message>
    <message>
        <source>开头应为 %1，实际为 %2</source>
        <translation>expected %1 at the start, got %2</translation>
    </message>
    <message>
        <source>结尾应为 %1，实际为 %2</source>
        <translation>expected %1 at the end, got %2</translation>
    </message>
    <message>
        <source>后缀应为 %1，实际为 %2</source>
        <translation>expected the suffix %1, got %2</translation>
    </message>
    <message>
        <source>前缀“%1”不是十六进制写法</source>
        <translation>the prefix "%1" is not in hex notation</translation>
    </message>
    <message>
        <source>后缀“%1”不是十六进制写法</source>
        <translation>the suffix "%1" is not in hex notation</translation>
    </message>
    <message>
        <source>键盘按键：按下 %1 毫秒 + 抬起 %2 毫秒 = 每键 %3 毫秒</source>
        <translation>Keys: down %1 ms + up %2 ms = %3 ms a key</translation>
    </message>
    <message>
        <source>键盘按键：按下 %1 毫秒，抬起 %2 毫秒（无法计算按键间隔）</source>
        <translation>Keys: down %1 ms, up %2 ms (no key interval to compare with)</translation>
    </message>
    <message>
        <source>按键间隔平均 %1 毫秒（%2 至 %3）</source>
        <translation>keys %1 ms apart on average (%2 to %3)</translation>
    </message>
    <message>
        <source>与设置相符</source>
        <translation>as set</translation>
    </message>
    <message>
        <source>比设置的 %1 毫秒快</source>
        <translation>faster than the %1 ms set</translation>
    </message>
    <message>
        <source>比设置的 %1 毫秒慢</source>
        <translation>slower than the %1 ms set</translation>
    </message>
    <message>
        <source>只有一个按键</source>
        <translation>a single key</translation>
    </message>
    <message>
        <source>波特率“%1”无效</source>
        <translation>the baud rate "%1" is not valid</translation>
    </message>
    <message>
        <source>数据位“%1”无效</source>
        <translation>the data bits "%1" are not valid</translation>
    </message>
    <message>
        <source>停止位“%1”无效</source>
        <translation>the stop bits "%1" are not valid</translation>
    </message>
    <message>
        <source>校验位“%1”无效</source>
        <translation>the parity "%1" is not valid</translation>
    </message>
    <message>
        <source>HID模拟键盘输出：请让本窗口保持在前台并扫描，按键逐个显示在下方。</source>
        <translation>HID keyboard output: keep this window in front and scan; the keys show below.</translation>
    </message>
    <message>
        <source>COM输出：扫描数据从所选串口读取（%1）。</source>
        <translation>COM output: scans are read from the chosen serial port (%1).</translation>
    </message>
    <message>
        <source>COM输出：无法打开串口，%1。</source>
        <translation>COM output: no serial port can be opened: %1.</translation>
    </message>
    <message>
        <source>WIFI输出：扫描数据发送到服务器，在此无法查看。</source>
        <translation>Wi-Fi output: scans go to the server and cannot be seen here.</translation>
    </message>
    <message>
        <source>蓝牙输出：扫描数据发送到已配对的设备，在此无法查看。</source>
        <translation>Bluetooth output: scans go to the paired device and cannot be seen here.</translation>
    </message>
    <message>
        <source>输出方式未知：无法判断扫描数据从何处来。</source>
        <translation>Output channel unknown: where scans go cannot be told.</translation>
    </message>
    <message>
        <source>按键时间只对HID模拟键盘输出有效。</source>
        <translation>Key timing applies to the HID keyboard output only.</translation>
    </message>
    <message>
        <source>已打开 %1</source>
        <translation>%1 open</translation>
    </message>
    <message>
        <source>无法打开 %1：%2</source>
        <translation>cannot open %1: %2</translation>
    </message>
    <message>
        <source>%1 已断开</source>
        <translation>%1 is gone</translation>
    </message>
    <message>
        <source>未找到串口</source>
        <translation>no serial port found</translation>
    </message>
    <message>
        <source>相符</source>
        <translation>Matches</translation>
    </message>
    <message>
        <source>不符</source>
        <translation>Differs</translation>
    </message>
    <message>
        <source>内容：%1</source>
        <translation>Text: %1</translation>
    </message>
    <message>
        <source>十六进制：%1</source>
        <translation>Hex: %1</translation>
    </message>
    <message>
        <source>按键：%1</source>
        <translation>Keys: %1</translation>
    </message>
    <message>
        <source>更改输出方式...</source>
        <translation>Change channel...</translation>
    </message>
    <message>
        <source>更改输出方式</source>
        <translation>Change the output channel</translation>
    </message>
    <message>
        <source>选择扫描器的输出方式：</source>
        <translation>Scanner output channel:</translation>
    </message>
    <message>
        <source>输出方式已改为“%1”，设置尚未写入设备，按“保存”后写入。</source>
        <translation>The output channel is now "%1". Nothing was sent to the scanner yet: Save sends it.</translation>
    </message>
    <message>
        <source>保存时将改变以下设置:
%1</source>
        <translation>Save will change these settings:
%1</translation>
    </message>
    <message>
        <source>保存时不会改变设备的设置。</source>
        <translation>Save will change no setting of the scanner.</translation>
    </message>
    <message>
        <source>(已隐藏)</source>
        <translation>(hidden)</translation>
    </message>
    <message>
        <source>读取设备设置失败，请检查设备是否插入或重试!</source>
        <translation>Reading the settings failed. Check that the scanner is plugged in, or try again.</translation>
    </message>
    <message>
        <source>导入配置</source>
        <translation>Import configuration</translation>
    </message>
    <message>
        <source>导出配置</source>
        <translation>Export configuration</translation>
    </message>
    <message>
        <source>配置文件</source>
        <translation>Configuration files</translation>
    </message>
    <message>
        <source>所有文件</source>
        <translation>All files</translation>
    </message>
    <message>
        <source>配置文件（不含 Wi-Fi 密码）</source>
        <translation>Configuration files without the Wi-Fi password</translation>
    </message>
    <message>
        <source>配置已导出到文件:
%1</source>
        <translation>Configuration exported to the file:
%1</translation>
    </message>
    <message>
        <source>文件中含有 Wi-Fi 密码，请妥善保管，勿随意分享。</source>
        <translation>The file holds the Wi-Fi password: keep it safe and do not share it.</translation>
    </message>
    <message>
        <source>导出失败，以下设置无法保存，文件未写入:
%1</source>
        <translation>Export failed: these settings cannot be saved; the file was not written:
%1</translation>
    </message>
    <message>
        <source>导出失败，文件无法写入:
%1</source>
        <translation>Export failed: the file cannot be written:
%1</translation>
    </message>
    <message>
        <source>配置已从文件导入:
%1</source>
        <translation>Configuration imported from the file:
%1</translation>
    </message>
    <message>
        <source>设置尚未写入设备，按“保存”后写入。</source>
        <translation>The settings are not on the scanner yet: “Save” writes them.</translation>
    </message>
    <message>
        <source>保存后设备号由 %1 改为文件中的 %2。</source>
        <translation>Save changes the device number from %1 to the file's %2.</translation>
    </message>
    <message>
        <source>以下设置不在窗口中，保存时不会写入:
%1</source>
        <translation>These settings are not in the window; Save does not write them:
%1</translation>
    </message>
    <message>
        <source>以下设置窗口无法按文件显示，保存时写入箭头后的值:
%1</source>
        <translation>The window cannot show these settings as the file has them; Save writes the values after the arrows:
%1</translation>
    </message>
    <message>
        <source>不写入，设备保持原值</source>
        <translation>not written, the scanner keeps its value</translation>
    </message>
    <message>
        <source>以下修改无法写入设备，导入时已放弃:
%1</source>
        <translation>These edits cannot be written to the scanner; the import dropped them:
%1</translation>
    </message>
    <message>
        <source>导入失败，文件无法读取，窗口未改变:
%1</source>
        <translation>Import failed: the file cannot be read; the window is unchanged:
%1</translation>
    </message>
    <message>
        <source>导入失败，配置文件有误，窗口未改变:
%1</source>
        <translation>Import failed: the configuration file is wrong; the window is unchanged:
%1</translation>
    </message>
    <message>
        <source>%1 第 %2 行</source>
        <translation>%1 line %2</translation>
    </message>
    <message>
        <source>端口 %1  设备号 %2  固件版本 %3</source>
        <translation>Port %1  device no. %2  firmware %3</translation>
    </message>
    <message>
        <source>端口 %1  %2</source>
        <translation>Port %1  %2</translation>
    </message>
    <message>
        <source>未知</source>
        <translation>unknown</translation>
    </message>
    <message>
        <source>(未读出)</source>
        <translation>(not read)</translation>
    </message>
    <message>
        <source>(空)</source>
        <translation>(empty)</translation>
    </message>
    <message>
        <source>正被另一个程序使用</source>
        <translation>in use by another program</translation>
    </message>
    <message>
        <source>无权访问</source>
        <translation>no permission</translation>
    </message>
    <message>
        <source>设备没有应答</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>设备已拔出</source>
        <translation>unplugged</translation>
    </message>
    <message>
        <source>无法读取</source>
        <translation>cannot be read</translation>
    </message>
    <message>
        <source>选择设备</source>
        <translation>Choose a scanner</translation>
    </message>
    <message>
        <source>检测到多台设备，请选择要连接的设备:</source>
        <translation>Several scanners are plugged in. Choose one:</translation>
    </message>
    <message>
        <source>取消</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>设置页</source>
        <translation>Settings pages</translation>
    </message>
    <message>
        <source>打开配置文件...</source>
        <translation>Open profile...</translation>
    </message>
    <message>
        <source>应用到设备...</source>
        <translation>Apply to device...</translation>
    </message>
    <message>
        <source>打开配置文件</source>
        <translation>Open profile</translation>
    </message>
    <message>
        <source>配置已保存到文件，未写入任何设备:
%1</source>
        <translation>Settings saved to the file; no scanner was written:
%1</translation>
    </message>
    <message>
        <source>文件已无法按打开时读取，其中的注释未能保留。</source>
        <translation>The file could no longer be read as it was opened: its comments were not kept.</translation>
    </message>
    <message>
        <source>保存失败，以下设置无法保存，文件未写入:
%1</source>
        <translation>Save failed: these settings cannot be saved; the file was not written:
%1</translation>
    </message>
    <message>
        <source>保存失败，文件无法写入:
%1</source>
        <translation>Save failed: the file cannot be written:
%1</translation>
    </message>
    <message>
        <source>文件中没有以下设置，窗口显示其初始状态:</source>
        <translation>The file lacks these settings; the window shows their controls as they start:</translation>
    </message>
    <message>
        <source>配置文件已修改，是否保存?
%1</source>
        <translation>The profile has changed. Save it?
%1</translation>
    </message>
    <message>
        <source>窗口仍显示文件中的设置，尚未写入设备，按“保存”后写入。</source>
        <translation>The window still shows the file's settings; nothing was sent to the scanner yet. Save sends them.</translation>
    </message>
    <message>
        <source>端口 %1 设备号 %2</source>
        <translation>port %1, device number %2</translation>
    </message>
    <message>
        <source>模拟设备 端口 %1 设备号 %2</source>
        <translation>simulated scanner, port %1, device number %2</translation>
    </message>
    <message>
        <source>文件 %1</source>
        <translation>file %1</translation>
    </message>
    <message>
        <source>原因：浏览器没有打开设备的权限。在 Linux 上需要 lumiq-zrctl 软件包的 udev 规则 /usr/lib/udev/rules.d/70-lumiq-scanner.rules，装好后重新插入设备，并在本机登录的会话中使用浏览器。</source>
        <translation>Cause: the browser may not open the scanner. On Linux it needs the udev rule /usr/lib/udev/rules.d/70-lumiq-scanner.rules of the lumiq-zrctl package: install it, plug the scanner in again and use the browser in a session logged in at this computer.</translation>
    </message>
    <message>
        <source>此浏览器不支持 WebHID，无法连接设备。
请使用 Chrome、Edge 或其他基于 Chromium 的浏览器打开本页。</source>
        <translation>This browser has no WebHID and cannot connect to the scanner.
Open this page in Chrome, Edge or another Chromium-based browser.</translation>
    </message>
    <message>
        <source>文件名:</source>
        <translation>File name:</translation>
    </message>
    <message>
        <source>保存类型:</source>
        <translation>Save as type:</translation>
    </message>
    <message>
        <source>窗口菜单</source>
        <translation>Window menu</translation>
    </message>
    <message>
        <source>演示：连接的是页面内置的模拟扫描器，不会写入真实设备。</source>
        <translation>Demo: this page connects to its own simulated scanner; nothing reaches a real scanner.</translation>
    </message>
</context>
</TS>
