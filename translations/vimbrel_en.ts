<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja">
<context>
    <name>QFileDialog</name>
    <message>
        <source>%1 already exists.
Do you want to replace it?</source>
        <translation>%1 already exists.
Do you want to replace it?</translation>
    </message>
</context>
<context>
    <name>vimbrel</name>
    <message>
        <source>画像を読む前に「新規作成」を押し、「設&#x3000;定&#x3000;の&#x3000;保&#x3000;存」で結合の設定をしてください。</source>
        <translation>Before loading a picture, press “New” and set up the join with “Save settings”.</translation>
    </message>
    <message>
        <source>実寸(&amp;A)</source>
        <translation>&amp;Actual Size</translation>
    </message>
    <message>
        <source>拡大(&amp;I)</source>
        <translation>Zoom &amp;In</translation>
    </message>
    <message>
        <source>縮小(&amp;O)</source>
        <translation>Zoom &amp;Out</translation>
    </message>
    <message>
        <source>全体表示(&amp;F)</source>
        <translation>&amp;Fit in Window</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>自動位置合わせ(&amp;A)</source>
        <translation>&amp;Auto Align</translation>
    </message>
    <message>
        <source>先頭に揃える(&amp;S)</source>
        <translation>Align to &amp;Start</translation>
    </message>
    <message>
        <source>中央に揃える(&amp;C)</source>
        <translation>Align to &amp;Centre</translation>
    </message>
    <message>
        <source>末尾に揃える(&amp;E)</source>
        <translation>Align to &amp;End</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>新規作成の為の設定</source>
        <translation>Settings for a New Canvas</translation>
    </message>
    <message>
        <source>横方向の余白増量分</source>
        <translation>Horizontal margin</translation>
    </message>
    <message>
        <source>縦方向の余白増量分</source>
        <translation>Vertical margin</translation>
    </message>
    <message>
        <source>Ａ画像</source>
        <translation>A</translation>
    </message>
    <message>
        <source>Ａ画像の右側</source>
        <translation>Right of A</translation>
    </message>
    <message>
        <source>Ａ画像の下側</source>
        <translation>Below A</translation>
    </message>
    <message>
        <source>Ａ画像の左側</source>
        <translation>Left of A</translation>
    </message>
    <message>
        <source>Ａ画像の上側</source>
        <translation>Above A</translation>
    </message>
    <message>
        <source>Ｂ画像の接続位置</source>
        <translation>Where B joins</translation>
    </message>
    <message>
        <source>設&#x3000;定&#x3000;の&#x3000;保&#x3000;存</source>
        <translation>Save settings</translation>
    </message>
    <message>
        <source>右１</source>
        <translation>→1</translation>
    </message>
    <message>
        <source>左１</source>
        <translation>←1</translation>
    </message>
    <message>
        <source>下１</source>
        <translation>↓1</translation>
    </message>
    <message>
        <source>上１</source>
        <translation>↑1</translation>
    </message>
    <message>
        <source>コントローラ</source>
        <translation>Controller</translation>
    </message>
    <message>
        <source>新規作成</source>
        <translation>New</translation>
    </message>
    <message>
        <source>結合画像の保存</source>
        <translation>Save joined</translation>
    </message>
    <message>
        <source>ＡＢ位置リセット</source>
        <translation>Reset A and B</translation>
    </message>
    <message>
        <source>Ａ画像位置リセット</source>
        <translation>Reset A position</translation>
    </message>
    <message>
        <source>Ｂ画像位置リセット</source>
        <translation>Reset B position</translation>
    </message>
    <message>
        <source>Ａ画像ロード</source>
        <translation>Load A</translation>
    </message>
    <message>
        <source>Ａ画像再ロード</source>
        <translation>Reload A</translation>
    </message>
    <message>
        <source>Ａ画像切り出し</source>
        <translation>Cut out A</translation>
    </message>
    <message>
        <source>Ｂ画像ロード</source>
        <translation>Load B</translation>
    </message>
    <message>
        <source>Ｂ画像再ロード</source>
        <translation>Reload B</translation>
    </message>
    <message>
        <source>Ｂ画像切り出し</source>
        <translation>Cut out B</translation>
    </message>
    <message>
        <source>上下関係</source>
        <translation>Stacking</translation>
    </message>
    <message>
        <source>Ａ画像が上</source>
        <translation>A on top</translation>
    </message>
    <message>
        <source>Ｂ画像が上</source>
        <translation>B on top</translation>
    </message>
    <message>
        <source>重なり効果</source>
        <translation>Effect</translation>
    </message>
    <message>
        <source>保存時反映</source>
        <translation>On save</translation>
    </message>
    <message>
        <source>移動の微調整</source>
        <translation>Fine movement</translation>
    </message>
    <message>
        <source>コントロールする画像</source>
        <translation>Picture to control</translation>
    </message>
    <message>
        <source>Ｂ画像</source>
        <translation>B</translation>
    </message>
    <message>
        <source>Ａ画像「%1」 (%2×%3)&#x3000;／&#x3000;</source>
        <translation>A “%1” (%2×%3) / </translation>
    </message>
    <message>
        <source>Ａ画像「%1」が原因で結合失敗&#x3000;／&#x3000;</source>
        <translation>A “%1” made the join fail / </translation>
    </message>
    <message>
        <source>Ｂ画像「%1」 (%2×%3)&#x3000;／&#x3000;</source>
        <translation>B “%1” (%2×%3) / </translation>
    </message>
    <message>
        <source>Ｂ画像「%1」が原因で結合失敗</source>
        <translation>B “%1” made the join fail / </translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>新規作成(&amp;N)</source>
        <translation>&amp;New</translation>
    </message>
    <message>
        <source>画像ロード(&amp;O)...</source>
        <translation>&amp;Load Picture...</translation>
    </message>
    <message>
        <source>結合画像の保存(&amp;S)...</source>
        <translation>&amp;Save Joined Picture...</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>コピー(&amp;C)</source>
        <translation>&amp;Copy</translation>
    </message>
    <message>
        <source>貼り付け(&amp;P)</source>
        <translation>&amp;Paste</translation>
    </message>
    <message>
        <source>渡されたファイルが多すぎます。最初の２つだけを、Ａ画像とＢ画像として使います。</source>
        <translation>Too many files were given. Only the first two are used, as picture A and picture B.</translation>
    </message>
    <message>
        <source>結合画像は保存されていません。
破棄して新規作成しますか？</source>
        <translation>The joined picture has not been saved.
Discard it and start a new one?</translation>
    </message>
    <message>
        <source>結合画像表示エラー</source>
        <translation>Joined picture display error</translation>
    </message>
    <message>
        <source>メモリが足りません</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>予期せぬ結合画像関連エラー</source>
        <translation>Unexpected joined picture error</translation>
    </message>
    <message>
        <source>エラー番号＝%1</source>
        <translation>Error number = %1</translation>
    </message>
    <message>
        <source>保存する為のメモリが足りません</source>
        <translation>Not enough memory to save</translation>
    </message>
    <message>
        <source>このファイルには保存できません</source>
        <translation>Cannot save to this file</translation>
    </message>
    <message>
        <source>セーブファイル名は？</source>
        <translation>Save as?</translation>
    </message>
    <message>
        <source>効果無し（余白が白）</source>
        <translation>No effect, white</translation>
    </message>
    <message>
        <source>効果無し（余白が黒）</source>
        <translation>No effect, black</translation>
    </message>
    <message>
        <source>Ａモード（余白が白）</source>
        <translation>Mode A, white</translation>
    </message>
    <message>
        <source>Ｂモード（余白が白）</source>
        <translation>Mode B, white</translation>
    </message>
    <message>
        <source>Ｃモード（余白が黒）</source>
        <translation>Mode C, black</translation>
    </message>
    <message>
        <source>Ｄモード（余白が黒）</source>
        <translation>Mode D, black</translation>
    </message>
    <message>
        <source>貼り付け</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>クリップボードに画像がありません</source>
        <translation>There is no picture on the clipboard</translation>
    </message>
    <message>
        <source>コピー</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>コピーする為のメモリが足りません</source>
        <translation>Not enough memory to copy</translation>
    </message>
    <message>
        <source>自動位置合わせ</source>
        <translation>Auto align</translation>
    </message>
    <message>
        <source>一致する位置が見つかりませんでした</source>
        <translation>No matching position was found</translation>
    </message>
    <message>
        <source>ロードする為のメモリが足りません</source>
        <translation>Not enough memory to load</translation>
    </message>
    <message>
        <source>このファイルは表示できません</source>
        <translation>This file cannot be shown</translation>
    </message>
    <message>
        <source>作業フォルダ「%1」がないか、書き込めません。
（設定ファイル %2 の2行目）
JPEG などは作業フォルダでビットマップに変換してから読みます。</source>
        <translation>The work folder “%1” is missing or cannot be written.
(line 2 of the settings file %2)
JPEG and other pictures are converted to bitmaps in the work folder before they are read.</translation>
    </message>
    <message>
        <source>
ビットマップファイル（.bmp）はそのまま読めます。</source>
        <translation>
Bitmap files (.bmp) can be read as they are.</translation>
    </message>
    <message>
        <source>作業フォルダ</source>
        <translation>Work folder</translation>
    </message>
    <message>
        <source>画像ファイル</source>
        <translation>Picture files</translation>
    </message>
    <message>
        <source>Ａ画像にするファイルは？</source>
        <translation>File for picture A?</translation>
    </message>
    <message>
        <source>Ｂ画像にするファイルは？</source>
        <translation>File for picture B?</translation>
    </message>
    <message>
        <source>不正な呼び出しです。</source>
        <translation>Illegal call.</translation>
    </message>
    <message>
        <source>メモリが不足しています。</source>
        <translation>Out of memory.</translation>
    </message>
    <message>
        <source>ファイル名が正しくありません。</source>
        <translation>Bad file name.</translation>
    </message>
    <message>
        <source>ファイルが見つかりません。</source>
        <translation>File not found.</translation>
    </message>
    <message>
        <source>ファイル名にワイルドカードは使えません。</source>
        <translation>A file name cannot hold wildcards.</translation>
    </message>
    <message>
        <source>ファイルの終わりを越えて読もうとしました。</source>
        <translation>Read past the end of the file.</translation>
    </message>
    <message>
        <source>ファイルまたはフォルダにアクセスできません。</source>
        <translation>The file or folder cannot be accessed.</translation>
    </message>
    <message>
        <source>画像ファイルを読めません。</source>
        <translation>The picture file cannot be read.</translation>
    </message>
    <message>
        <source>実行時エラー %1 が %2 で起きました。
%3
プログラムを終了します。</source>
        <translation>Run-time error %1 occurred in %2.
%3
The program ends.</translation>
    </message>
    <message>
        <source>エラー</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>ドライブ</source>
        <translation>Drive</translation>
    </message>
    <message>
        <source>%1桁までです</source>
        <translation>At most %1 digits</translation>
    </message>
    <message>
        <source>数字だけを入力できます</source>
        <translation>Digits only</translation>
    </message>
    <message>
        <source>フォルダー</source>
        <translation>Folder</translation>
    </message>
    <message>
        <source>特殊ファイル</source>
        <translation>Special file</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>%1 ファイル</source>
        <translation>%1 file</translation>
    </message>
    <message>
        <source>%1 メインウインドウ&#x3000;&#x3000;</source>
        <translation>%1 Main window  </translation>
    </message>
    <message>
        <source>キャンバス (%1×%2)</source>
        <translation>Canvas (%1×%2)</translation>
    </message>
    <message>
        <source>&#x3000;〔%1〕</source>
        <translation> [%1]</translation>
    </message>
    <message>
        <source>クリップボード（Ａ）</source>
        <translation>Clipboard (A)</translation>
    </message>
    <message>
        <source>クリップボード（Ｂ）</source>
        <translation>Clipboard (B)</translation>
    </message>
</context>
</TS>
