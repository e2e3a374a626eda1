-- Page database of the examination program: one page per row, shown in the order of id.
-- 1 and 4: not shown (a short placeholder page)
-- 2: notice page with the rules of the examination
-- 3: registration form; the field ids are the ones the registration reads and fills
-- 5: examination start page; the registration turns its 30分間 into 40分間 when it shows it
-- 6: result page template; its words FamilyName, TestCenter, テスト名, StartTime, SelectPoint1 to
--    SelectPoint3, ExePoint, SelectPointA, 結果イメージ and sample.png are filled in at the end

CREATE TABLE gamen (id INTEGER PRIMARY KEY, gamen TEXT);

INSERT INTO gamen (id, gamen) VALUES (1, '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>準備中</title><style>
body{font-family:"ＭＳ Ｐゴシック","IPAPGothic",sans-serif;margin:0;padding:18px 22px;color:#222;background:#fff;font-size:15px;line-height:1.65}
h1{font-size:21px;margin:0 0 12px;padding:6px 10px;border-left:6px solid #2f5d8a;background:#eef3f8}
h2{font-size:17px;margin:18px 0 8px;color:#2f5d8a}
.box{max-width:770px}
.note{font-size:13px;color:#555}
</style></head><body><div class="box">
<h1>準備中</h1>
<p>このページは現在使用していません。</p>
</div></body></html>');

INSERT INTO gamen (id, gamen) VALUES (2, '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>受験上の注意</title><style>
body{font-family:"ＭＳ Ｐゴシック","IPAPGothic",sans-serif;margin:0;padding:18px 22px;color:#222;background:#fff;font-size:15px;line-height:1.65}
h1{font-size:21px;margin:0 0 12px;padding:6px 10px;border-left:6px solid #2f5d8a;background:#eef3f8}
h2{font-size:17px;margin:18px 0 8px;color:#2f5d8a}
.box{max-width:770px}
.note{font-size:13px;color:#555}
</style></head><body><div class="box">
<h1>受験上の注意</h1>
<p>これから簿記の模擬試験を行います。試験を始める前に、次の注意事項を必ずお読みください。</p>
<h2>試験について</h2>
<ol>
<li>試験は画面の指示に従い、このパソコン上で解答します。問題は第1問から第3問まであり、画面上部のタブで切り替えることができます。</li>
<li>試験時間は画面に表示される残り時間で管理されます。時間になると試験は自動的に終了し、その時点の解答が採点されます。</li>
<li>金額は半角数字で入力し、カンマ（,）や円記号は付けないでください。</li>
<li>計算用紙と電卓は使用できます。ただし、電卓機能以外の機能を持つ機器は使用できません。</li>
</ol>
<h2>禁止事項</h2>
<ul>
<li>試験中にほかのプログラムを起動したり、試験画面を閉じたりしないでください。</li>
<li>参考書、ノート、携帯電話などを見ることはできません。</li>
<li>ほかの受験者と話をしたり、解答を見せ合ったりすることは不正行為となります。</li>
</ul>
<h2>困ったときは</h2>
<p>画面が動かなくなったときや体調が悪くなったときは、手を挙げて試験監督にお知らせください。</p>
<p><strong>以上の注意事項を確認したら、下の「了解」ボタンを押してください。</strong>受験者登録の画面に進みます。</p>
</div></body></html>');

INSERT INTO gamen (id, gamen) VALUES (3, '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>受験者登録</title><style>
body{font-family:"ＭＳ Ｐゴシック","IPAPGothic",sans-serif;margin:0;padding:18px 22px;color:#222;background:#fff;font-size:15px;line-height:1.65}
h1{font-size:21px;margin:0 0 12px;padding:6px 10px;border-left:6px solid #2f5d8a;background:#eef3f8}
h2{font-size:17px;margin:18px 0 8px;color:#2f5d8a}
.box{max-width:770px}
.note{font-size:13px;color:#555}
table.f{border-collapse:collapse;width:100%;max-width:770px}
table.f th{width:150px;text-align:left;font-weight:normal;background:#eef3f8;border:1px solid #c9d6e3;padding:6px 8px;white-space:nowrap}
table.f td{border:1px solid #c9d6e3;padding:6px 8px}
input,select{font-family:inherit;font-size:15px;padding:2px 4px}
.req{color:#c0392b;font-size:12px;margin-left:4px}
.hint{font-size:12px;color:#666;margin-left:6px;white-space:nowrap}
.pair{white-space:nowrap}
input[type=text]{max-width:100%;box-sizing:border-box}
@media (max-width:640px){
table.f,table.f tbody,table.f tr,table.f th,table.f td{display:block;width:auto}
table.f tr{margin-bottom:6px}
table.f th{border-bottom:none;white-space:normal}
}
</style></head><body><div class="box">
<h1>受験者登録</h1>
<p>受験者の情報を入力し、下の「登録」ボタンを押してください。<span class="req">必須</span>の欄は必ず入力してください。</p>
<table class="f">
<tr><th>氏名（漢字）<span class="req">必須</span></th><td><span class="pair">姓 <input type="text" id="KanjiFamilyName" name="KanjiFamilyName" size="12"></span>　<span class="pair">名 <input type="text" id="KanjiGivenName" name="KanjiGivenName" size="12"></span><span class="hint">各10文字まで</span></td></tr>
<tr><th>氏名（ひらがな）<span class="req">必須</span></th><td><span class="pair">せい <input type="text" id="KanaFamilyName" name="KanaFamilyName" size="12"></span>　<span class="pair">めい <input type="text" id="KanaGivenName" name="KanaGivenName" size="12"></span></td></tr>
<tr><th>氏名（ローマ字）<span class="req">必須</span></th><td><span class="pair">姓 <input type="text" id="RomaFamilyName" name="RomaFamilyName" size="12"></span>　<span class="pair">名 <input type="text" id="RomaGivenName" name="RomaGivenName" size="12"></span><span class="hint">例：YAMADA TARO</span></td></tr>
<tr><th>性別<span class="req">必須</span></th><td><select id="Sex" name="Sex"><option value="">選んでください</option><option>男</option><option>女</option></select></td></tr>
<tr><th>職業<span class="req">必須</span></th><td><select id="Job" name="Job"><option value="">選んでください</option><option>高校生</option><option>専門学校生</option><option>大学生</option><option>会社員</option><option>公務員</option><option>自営業</option><option>パート・アルバイト</option><option>無職</option><option>その他</option></select></td></tr>
<tr><th>生年月日<span class="req">必須</span></th><td>西暦 <input type="text" id="BirthYear" name="BirthYear" size="5" maxlength="4"> 年 <input type="text" id="BirthMonth" name="BirthMonth" size="3" maxlength="2"> 月 <input type="text" id="BirthDay" name="BirthDay" size="3" maxlength="2"> 日<span class="hint">例：1999 年 06 月 06 日</span></td></tr>
<tr><th>メールアドレス</th><td><input type="text" id="mailID" name="mailID" size="16"> <span class="pair">＠ <input type="text" id="mailDomain" name="mailDomain" size="20"></span></td></tr>
<tr><th>郵便番号</th><td><input type="text" id="Zip1" name="Zip1" size="4" maxlength="3"> － <input type="text" id="Zip2" name="Zip2" size="5" maxlength="4"></td></tr>
<tr><th>都道府県</th><td><select id="State" name="State"><option value="">選んでください</option><option>北海道</option><option>青森県</option><option>岩手県</option><option>宮城県</option><option>秋田県</option><option>山形県</option><option>福島県</option><option>茨城県</option><option>栃木県</option><option>群馬県</option><option>埼玉県</option><option>千葉県</option><option>東京都</option><option>神奈川県</option><option>新潟県</option><option>富山県</option><option>石川県</option><option>福井県</option><option>山梨県</option><option>長野県</option><option>岐阜県</option><option>静岡県</option><option>愛知県</option><option>三重県</option><option>滋賀県</option><option>京都府</option><option>大阪府</option><option>兵庫県</option><option>奈良県</option><option>和歌山県</option><option>鳥取県</option><option>島根県</option><option>岡山県</option><option>広島県</option><option>山口県</option><option>徳島県</option><option>香川県</option><option>愛媛県</option><option>高知県</option><option>福岡県</option><option>佐賀県</option><option>長崎県</option><option>熊本県</option><option>大分県</option><option>宮崎県</option><option>鹿児島県</option><option>沖縄県</option></select></td></tr>
<tr><th>市区郡</th><td><input type="text" id="City" name="City" size="30"></td></tr>
<tr><th>町名・番地</th><td><input type="text" id="Address1" name="Address1" size="40"></td></tr>
<tr><th>マンション名など</th><td><input type="text" id="Address2" name="Address2" size="40"></td></tr>
<tr><th>電話番号</th><td><input type="text" id="Phone1" name="Phone1" size="6"> － <input type="text" id="Phone2" name="Phone2" size="6"> － <input type="text" id="Phone3" name="Phone3" size="6"></td></tr>
</table>
<p class="note">入力された情報は、受験の記録と成績の通知にのみ使用します。</p>
</div></body></html>');

INSERT INTO gamen (id, gamen) VALUES (4, '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>準備中</title><style>
body{font-family:"ＭＳ Ｐゴシック","IPAPGothic",sans-serif;margin:0;padding:18px 22px;color:#222;background:#fff;font-size:15px;line-height:1.65}
h1{font-size:21px;margin:0 0 12px;padding:6px 10px;border-left:6px solid #2f5d8a;background:#eef3f8}
h2{font-size:17px;margin:18px 0 8px;color:#2f5d8a}
.box{max-width:770px}
.note{font-size:13px;color:#555}
</style></head><body><div class="box">
<h1>準備中</h1>
<p>このページは現在使用していません。</p>
</div></body></html>');

INSERT INTO gamen (id, gamen) VALUES (5, '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>試験開始</title><style>
body{font-family:"ＭＳ Ｐゴシック","IPAPGothic",sans-serif;margin:0;padding:18px 22px;color:#222;background:#fff;font-size:15px;line-height:1.65}
h1{font-size:21px;margin:0 0 12px;padding:6px 10px;border-left:6px solid #2f5d8a;background:#eef3f8}
h2{font-size:17px;margin:18px 0 8px;color:#2f5d8a}
.box{max-width:770px}
.note{font-size:13px;color:#555}
</style></head><body><div class="box">
<h1>試験開始</h1>
<p>受験者登録が完了しました。</p>
<p>試験時間は<strong>30分間</strong>です。問題は第1問から第3問まであり、試験画面上部のタブで切り替えることができます。</p>
<ul>
<li>残り時間は試験画面に表示されます。時間になると自動的に終了します。</li>
<li>すべての解答が終わったら、「試験終了」ボタンで試験を終えることができます。</li>
<li>試験中は試験画面を閉じないでください。</li>
</ul>
<p><strong>準備ができたら、下の「試験開始」ボタンを押してください。</strong>押すと同時に試験が始まります。</p>
</div></body></html>');

INSERT INTO gamen (id, gamen) VALUES (6, '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>試験結果</title><style>
body{font-family:"ＭＳ Ｐゴシック","IPAPGothic",sans-serif;margin:0;padding:18px 22px;color:#222;background:#fff;font-size:15px;line-height:1.65}
h1{font-size:21px;margin:0 0 12px;padding:6px 10px;border-left:6px solid #2f5d8a;background:#eef3f8}
h2{font-size:17px;margin:18px 0 8px;color:#2f5d8a}
.box{max-width:770px}
.note{font-size:13px;color:#555}
table.r{border-collapse:collapse;margin:8px 0 14px;width:100%;max-width:480px}
table.r th,table.r td{border:1px solid #c9d6e3;padding:6px 12px}
table.r th{background:#eef3f8;font-weight:normal;text-align:left;width:50%}
table.r td.pt{text-align:right;white-space:nowrap}
.total th,.total td{font-weight:bold}
.judge{display:flex;flex-wrap:wrap;align-items:center;gap:16px 24px;margin:10px 0}
.judge img{max-width:100%}
@media print{body{padding:0}}
</style></head><body><div class="box">
<h1>試験結果</h1>
<table class="r">
<tr><th>受験者名</th><td>FamilyName　様</td></tr>
<tr><th>試験会場</th><td>TestCenter</td></tr>
<tr><th>試験名</th><td>テスト名</td></tr>
<tr><th>受験日時</th><td>StartTime</td></tr>
</table>
<h2>得点</h2>
<table class="r">
<tr><th>第1問（択一式）</th><td class="pt">SelectPoint1 点</td></tr>
<tr><th>第2問（仕訳）</th><td class="pt">SelectPoint2 点</td></tr>
<tr><th>第3問（決算振替・帳簿記入）</th><td class="pt">SelectPoint3 点</td></tr>
<tr><th>実技加点</th><td class="pt">ExePoint 点</td></tr>
<tr class="total"><th>合計</th><td class="pt">SelectPointA 点</td></tr>
</table>
<h2>判定</h2>
<div class="judge">結果イメージ<img src="sample.png" alt="分野別の得点のグラフ"></div>
<p>合格基準は70点以上です。この画面は「結果印刷」ボタンで印刷できます。印刷した結果は大切に保管してください。</p>
</div></body></html>');
