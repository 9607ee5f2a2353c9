<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="zh_CN" sourcelanguage="en">
<context>
    <name>CanSlave</name>
    <message>
        <source>Unknown Device</source>
        <translation>未知设备</translation>
    </message>
</context>
<context>
    <name>CanSlaveDlg</name>
    <message>
        <source>&amp;OK</source>
        <translation>确定(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>取消(&amp;C)</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>CANopen Slave Device</source>
        <translation>CANopen从站设备</translation>
    </message>
    <message>
        <source>PDO Config</source>
        <translation>PDO配置</translation>
    </message>
    <message>
        <source>SDO Config</source>
        <translation>SDO配置</translation>
    </message>
    <message>
        <source>CANopen I/O Mapping</source>
        <translation>CANopen I/O映射</translation>
    </message>
    <message>
        <source>CANopen Slave Config</source>
        <translation>CANopen从站配置</translation>
    </message>
    <message>
        <source>Keep Old Place</source>
        <translation>保留原位置</translation>
    </message>
    <message>
        <source>Back to Editor</source>
        <translation>返回编辑</translation>
    </message>
    <message>
        <source>CANopen Slave Config (read-only)</source>
        <translation>CANopen从站配置（只读）</translation>
    </message>
</context>
<context>
    <name>ErrorControlWidget</name>
    <message>
        <source>Error Control</source>
        <translation>错误控制</translation>
    </message>
    <message>
        <source>Monitor Timer(ms)</source>
        <translation>监控时间(ms)</translation>
    </message>
    <message>
        <source>Heart Beat Timer(ms)</source>
        <translation>心跳时间(ms)</translation>
    </message>
    <message>
        <source>Master Monitor Timer(ms)</source>
        <translation>主站监控时间(ms)</translation>
    </message>
</context>
<context>
    <name>MapTableDelegate</name>
    <message>
        <source>%1 is taken or lies beyond its area.</source>
        <translation>%1 已被占用或超出其区域。</translation>
    </message>
    <message>
        <source>%1 cannot go to %2: %3 Keep it at %4, or go back to the editor?</source>
        <translation>%1 不能移到 %2：%3 保留在 %4，还是返回编辑？</translation>
    </message>
</context>
<context>
    <name>MemoryEditWidget</name>
    <message>
        <source>I</source>
        <translation>I</translation>
    </message>
    <message>
        <source>AI</source>
        <translation>AI</translation>
    </message>
    <message>
        <source>V</source>
        <translation>V</translation>
    </message>
    <message>
        <source>Q</source>
        <translation>Q</translation>
    </message>
    <message>
        <source>AQ</source>
        <translation>AQ</translation>
    </message>
</context>
<context>
    <name>NewPDODialog</name>
    <message>
        <source>New PDO</source>
        <translation>新建PDO</translation>
    </message>
    <message>
        <source>Int8</source>
        <translation>Int8</translation>
    </message>
    <message>
        <source>Int16</source>
        <translation>Int16</translation>
    </message>
    <message>
        <source>Int32</source>
        <translation>Int32</translation>
    </message>
    <message>
        <source>UInt8</source>
        <translation>UInt8</translation>
    </message>
    <message>
        <source>UInt16</source>
        <translation>UInt16</translation>
    </message>
    <message>
        <source>UInt32</source>
        <translation>UInt32</translation>
    </message>
    <message>
        <source>NewPar0</source>
        <translatorcomment>Stays as it is: the parameter name becomes part of the PLC&apos;s mapping symbols.</translatorcomment>
        <translation>NewPar0</translation>
    </message>
    <message>
        <source>Index(hex)</source>
        <translation>索引(十六进制)</translation>
    </message>
    <message>
        <source>Sub Index(hex))</source>
        <translation>子索引(十六进制)</translation>
    </message>
    <message>
        <source>Data Type</source>
        <translation>数据类型</translation>
    </message>
    <message>
        <source>Parameter Name</source>
        <translation>参数名称</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>help</source>
        <translation>帮助</translation>
    </message>
</context>
<context>
    <name>NewSDODialog</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>Index(hex)</source>
        <translation>索引(十六进制)</translation>
    </message>
    <message>
        <source>Sub Index(hex))</source>
        <translation>子索引(十六进制)</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>长度</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>数据</translation>
    </message>
    <message>
        <source>help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>New SDO</source>
        <translation>新建SDO</translation>
    </message>
    <message>
        <source>Edit SDO</source>
        <translation>编辑SDO</translation>
    </message>
    <message>
        <source>Choose an object in the list or type its index.</source>
        <translation>请在列表中选择对象或输入其索引。</translation>
    </message>
    <message>
        <source>Type a value.</source>
        <translation>请输入数值。</translation>
    </message>
    <message>
        <source>The value does not fit in %1 bytes.</source>
        <translation>该数值超出 %1 字节。</translation>
    </message>
    <message>
        <source>%1 takes whole numbers only.</source>
        <translation>%1 只接受整数。</translation>
    </message>
    <message>
        <source>A floating point value needs a decimal point, as in 1.0.</source>
        <translation>浮点数需要小数点，例如 1.0。</translation>
    </message>
    <message>
        <source>%1 takes %2 to %3.</source>
        <translation>%1 的取值范围为 %2 到 %3。</translation>
    </message>
    <message>
        <source>The EDS allows %1 to %2 only.</source>
        <translation>EDS 只允许 %1 到 %2。</translation>
    </message>
    <message>
        <source>Not in the EDS: choose the length.</source>
        <translation>EDS 中没有此对象：请选择长度。</translation>
    </message>
    <message>
        <source>%1: %2, %3 bytes</source>
        <translation>%1：%2，%3 字节</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1：%2</translation>
    </message>
</context>
<context>
    <name>PDOParameterEditDialog</name>
    <message>
        <source>PDO Mapping</source>
        <translation>PDO映射</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>索引</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Parameter In EDS File:</source>
        <translation>EDS文件中的参数：</translation>
    </message>
    <message>
        <source>Parameter Already Mapped:</source>
        <translation>已映射的参数：</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>The length of PDO has reached the maximum number 8 bytes.</source>
        <translation>PDO长度已达到最大值8字节。</translation>
    </message>
    <message>
        <source>Memory map error, no more available!</source>
        <translation>内存映射错误，没有可用空间！</translation>
    </message>
    <message>
        <source>Parameter Can Not Be Added To ReadOnly PDO!</source>
        <translation>只读PDO不能添加参数！</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>长度</translation>
    </message>
    <message>
        <source>%1 of 8 bytes</source>
        <translation>%1 / 8 字节</translation>
    </message>
</context>
<context>
    <name>PDOParameterListTable</name>
    <message>
        <source>Yes</source>
        <translation>是</translation>
    </message>
    <message>
        <source>No</source>
        <translation>否</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>索引</translation>
    </message>
    <message>
        <source>Sub Index</source>
        <translation>子索引</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Memory</source>
        <translation>内存</translation>
    </message>
    <message>
        <source>Clear When Stop</source>
        <translation>停止时清零</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>添加(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>删除(&amp;R)</translation>
    </message>
    <message>
        <source>ReadOnly Parameter Can Not Be Removed!</source>
        <translation>只读参数不能删除！</translation>
    </message>
    <message>
        <source>PDO</source>
        <translation>PDO</translation>
    </message>
    <message>
        <source>COB-ID</source>
        <translation>COB-ID</translation>
    </message>
    <message>
        <source>Fixed by the device: it cannot be removed or moved to another PDO.</source>
        <translation>由设备固定：不能删除，也不能移到其他PDO。</translation>
    </message>
</context>
<context>
    <name>PDOProperty</name>
    <message>
        <source>TxPDO</source>
        <translation>TxPDO</translation>
    </message>
    <message>
        <source>COB ID</source>
        <translation>COB-ID</translation>
    </message>
    <message>
        <source>Communication Timer</source>
        <translation>通信定时器</translation>
    </message>
    <message>
        <source>Event Timer(ms)</source>
        <translation>事件定时器(ms)</translation>
    </message>
    <message>
        <source>Inhibit Timer(ms)</source>
        <translation>禁止时间(ms)</translation>
    </message>
    <message>
        <source>Transmit Type</source>
        <translation>传输类型</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>取消</translation>
    </message>
    <message>
        <source>0 - synchronous(acyclic)</source>
        <translation>0 - 同步(非循环)</translation>
    </message>
    <message>
        <source>%1 - synchronous(cyclic)</source>
        <translation>%1 - 同步(循环)</translation>
    </message>
    <message>
        <source>%1 - synchronous(RTR only)</source>
        <translation>%1 - 同步(仅RTR)</translation>
    </message>
    <message>
        <source>%1 - asynchronous(RTR only)</source>
        <translation>%1 - 异步(仅RTR)</translation>
    </message>
    <message>
        <source>%1 - asynchronous</source>
        <translation>%1 - 异步</translation>
    </message>
</context>
<context>
    <name>PDOpage</name>
    <message>
        <source>EDS PDO</source>
        <translation>EDS中的PDO</translation>
    </message>
    <message>
        <source>Index</source>
        <translation>索引</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Inhibit Time(ms)</source>
        <translation>禁止时间(ms)</translation>
    </message>
    <message>
        <source>Event Time(ms)</source>
        <translation>事件时间(ms)</translation>
    </message>
    <message>
        <source>Mapped PDO</source>
        <translation>已映射PDO</translation>
    </message>
    <message>
        <source>COB-ID</source>
        <translation>COB-ID</translation>
    </message>
    <message>
        <source>R/T</source>
        <translation>R/T</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>长度</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>描述</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Config</source>
        <translation>配置</translation>
    </message>
    <message>
        <source>Property</source>
        <translation>属性</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>添加(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>删除(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Config</source>
        <translation>配置(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Property</source>
        <translation>属性(&amp;P)</translation>
    </message>
    <message>
        <source>help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>Please select at least one parameter to add in the table above.</source>
        <translation>请在上方表格中至少选择一个要添加的参数。</translation>
    </message>
    <message>
        <source>The device fixes this PDO&apos;s mapping.</source>
        <translation>设备固定了此PDO的映射。</translation>
    </message>
    <message>
        <source>invalid</source>
        <translation>无效</translation>
    </message>
    <message>
        <source>no RTR</source>
        <translation>无RTR</translation>
    </message>
    <message>
        <source>29-bit</source>
        <translation>29位</translation>
    </message>
</context>
<context>
    <name>ParaListPage</name>
    <message>
        <source>help</source>
        <translation>帮助</translation>
    </message>
</context>
<context>
    <name>ParameterInEdsListTable</name>
    <message>
        <source>Index</source>
        <translation>索引</translation>
    </message>
    <message>
        <source>Sub Index</source>
        <translation>子索引</translation>
    </message>
    <message>
        <source>R/W</source>
        <translation>读/写</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>类型</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>字节数</translation>
    </message>
</context>
<context>
    <name>QPlatformTheme</name>
    <message>
        <source>OK</source>
        <translation>确定</translation>
    </message>
</context>
<context>
    <name>SdoPage</name>
    <message>
        <source>Auto SDO Config</source>
        <translation>自动SDO配置</translation>
    </message>
    <message>
        <source>SDO Config</source>
        <translation>SDO配置</translation>
    </message>
    <message>
        <source>Index(hex)</source>
        <translation>索引(十六进制)</translation>
    </message>
    <message>
        <source>Sub Index(hex)</source>
        <translation>子索引(十六进制)</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Length</source>
        <translation>长度</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>数据</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>添加</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>删除</translation>
    </message>
    <message>
        <source>Edit</source>
        <translation>编辑</translation>
    </message>
    <message>
        <source>&amp;Add</source>
        <translation>添加(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>编辑(&amp;E)</translation>
    </message>
    <message>
        <source>&amp;Remove</source>
        <translation>删除(&amp;R)</translation>
    </message>
    <message>
        <source>help</source>
        <translation>帮助</translation>
    </message>
    <message>
        <source>The count of auto SDO has reached the maximum number 8.</source>
        <translation>自动SDO数量已达到最大值8个。</translation>
    </message>
    <message>
        <source>An SDO for object %1 sub-index %2 is already in the list.</source>
        <translation>列表中已有对象 %1 子索引 %2 的SDO。</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>替换</translation>
    </message>
</context>
<context>
    <name>SlaveInfoPage</name>
    <message>
        <source>Node Information</source>
        <translation>节点信息</translation>
    </message>
    <message>
        <source>Node ID</source>
        <translation>节点ID</translation>
    </message>
    <message>
        <source>Vendor ID</source>
        <translation>厂商ID</translation>
    </message>
    <message>
        <source>Device Type</source>
        <translation>设备类型</translation>
    </message>
    <message>
        <source>Product Code</source>
        <translation>产品代码</translation>
    </message>
    <message>
        <source>Revision Number</source>
        <translation>修订号</translation>
    </message>
    <message>
        <source>Emergency COB-ID</source>
        <translation>紧急报文COB-ID</translation>
    </message>
    <message>
        <source>Node Guard COB-ID</source>
        <translation>节点保护COB-ID</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>名称</translation>
    </message>
    <message>
        <source>Error Control</source>
        <translation>错误控制</translation>
    </message>
    <message>
        <source>Checks at Startup</source>
        <translation>启动时检查</translation>
    </message>
    <message>
        <source>Check Vendor ID</source>
        <translation>检查厂商ID</translation>
    </message>
    <message>
        <source>Check Device Type</source>
        <translation>检查设备类型</translation>
    </message>
    <message>
        <source>Check Product Code</source>
        <translation>检查产品代码</translation>
    </message>
    <message>
        <source>Check Revision Number</source>
        <translation>检查修订号</translation>
    </message>
    <message>
        <source>help</source>
        <translation>帮助</translation>
    </message>
</context>
</TS>
