-- Question database of the examination program.
-- exam_doc: the three page skeletons. Each marks where the questions go: page 1 the four places
--   問題１－０ to 問題１－３, page 2 問題３－０ to 問題３－３ (full-width digits), page 3 the one place 問題４.
-- select_q: the questions. q_set 1 goes to page 1, 3 to page 2, 4 to page 3; q_g is the group within
--   the set. In a question, 選択肢1 to 選択肢6 stand where the choice texts sel1 to sel6 are put, in an
--   order drawn for each run; ans holds the expected answer in the words of the choices.
--   Page 1: one select named answer per question; ans is the text of the right choice.
--   Page 2: a journal of two lines, eight fields named answer3 per question (debit account, amount,
--   credit account, amount, then the same for the second line); ans lists the expected fields separated
--   by commas: four parts for a one-line entry (either line may hold it), eight for a two-line entry.
--   q_id numbers the questions within a group; each group holds one question, number 1.
--   Page 3: one closing exercise with 81 fields named answer4, numbered 0 to 80 in page order.

CREATE TABLE exam_doc (id INTEGER PRIMARY KEY, q_doc TEXT NOT NULL);
CREATE TABLE select_q (q_set INTEGER NOT NULL, q_g INTEGER NOT NULL, q_doc TEXT NOT NULL,
  sel1 TEXT, sel2 TEXT, sel3 TEXT, sel4 TEXT, sel5 TEXT, sel6 TEXT, ans TEXT,
  q_id INTEGER NOT NULL DEFAULT 1);
-- The page builder looks every question up by set and group.
CREATE INDEX select_q_set_group ON select_q (q_set, q_g);

INSERT INTO exam_doc (id, q_doc) VALUES (1, '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>第1問</title><style>
body{font-family:"ＭＳ Ｐゴシック","IPAPGothic",sans-serif;margin:0;padding:16px 20px;color:#222;background:#fff;font-size:15px;line-height:1.6}
h1{font-size:20px;margin:0 0 10px;padding:6px 10px;border-left:6px solid #2f5d8a;background:#eef3f8}
h2{font-size:16px;margin:18px 0 6px;color:#2f5d8a}
.box{max-width:780px}
.lead{margin:0 0 10px}
.q{margin:0 0 16px;padding:10px 12px;border:1px solid #d5dee8;border-radius:4px}
.q p{margin:0 0 8px}
table{border-collapse:collapse}
th,td{border:1px solid #9fb3c8;padding:3px 5px}
th{background:#eef3f8;font-weight:normal}
input,select{font-family:inherit;font-size:14px;padding:1px 3px}
input.n{width:8.5em}
input.a{width:6.5em;text-align:right}
input.d{width:2.2em;text-align:center}
td.m{text-align:right}
.note{font-size:13px;color:#555}
</style></head><body><div class="box">
<h1>第1問</h1>
<p class="lead">次の各問いについて、最も適当なものを解答欄の一覧から1つ選びなさい。</p>
<h2>問1</h2>
問題１－０
<h2>問2</h2>
問題１－１
<h2>問3</h2>
問題１－２
<h2>問4</h2>
問題１－３
</div></body></html>');
INSERT INTO exam_doc (id, q_doc) VALUES (2, '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>第2問</title><style>
body{font-family:"ＭＳ Ｐゴシック","IPAPGothic",sans-serif;margin:0;padding:16px 20px;color:#222;background:#fff;font-size:15px;line-height:1.6}
h1{font-size:20px;margin:0 0 10px;padding:6px 10px;border-left:6px solid #2f5d8a;background:#eef3f8}
h2{font-size:16px;margin:18px 0 6px;color:#2f5d8a}
.box{max-width:780px}
.lead{margin:0 0 10px}
.q{margin:0 0 16px;padding:10px 12px;border:1px solid #d5dee8;border-radius:4px}
.q p{margin:0 0 8px}
table{border-collapse:collapse}
th,td{border:1px solid #9fb3c8;padding:3px 5px}
th{background:#eef3f8;font-weight:normal}
input,select{font-family:inherit;font-size:14px;padding:1px 3px}
input.n{width:8.5em}
input.a{width:6.5em;text-align:right}
input.d{width:2.2em;text-align:center}
td.m{text-align:right}
.note{font-size:13px;color:#555}
</style></head><body><div class="box">
<h1>第2問</h1>
<p class="lead">次の各取引について仕訳しなさい。勘定科目は各欄の一覧から選び、金額は半角数字でカンマを付けずに記入すること。借方・貸方とも1つの勘定科目で足りる仕訳は、どちらか一方の行だけに記入し、勘定科目が2つになる側は2行に分けて記入すること。なお、商品売買の記帳は分記法による。</p>
<h2>問1</h2>
問題３－０
<h2>問2</h2>
問題３－１
<h2>問3</h2>
問題３－２
<h2>問4</h2>
問題３－３
</div></body></html>');
INSERT INTO exam_doc (id, q_doc) VALUES (3, '<!DOCTYPE html><html lang="ja"><head><meta charset="utf-8"><title>第3問</title><style>
body{font-family:"ＭＳ Ｐゴシック","IPAPGothic",sans-serif;margin:0;padding:16px 20px;color:#222;background:#fff;font-size:15px;line-height:1.6}
h1{font-size:20px;margin:0 0 10px;padding:6px 10px;border-left:6px solid #2f5d8a;background:#eef3f8}
h2{font-size:16px;margin:18px 0 6px;color:#2f5d8a}
.box{max-width:780px}
.lead{margin:0 0 10px}
.q{margin:0 0 16px;padding:10px 12px;border:1px solid #d5dee8;border-radius:4px}
.q p{margin:0 0 8px}
table{border-collapse:collapse}
th,td{border:1px solid #9fb3c8;padding:3px 5px}
th{background:#eef3f8;font-weight:normal}
input,select{font-family:inherit;font-size:14px;padding:1px 3px}
input.n{width:8.5em}
input.a{width:6.5em;text-align:right}
input.d{width:2.2em;text-align:center}
td.m{text-align:right}
.note{font-size:13px;color:#555}
</style></head><body><div class="box">
<h1>第3問</h1>
問題４
</div></body></html>');

-- Page 1: four-choice questions on the basics of bookkeeping.
INSERT INTO select_q (q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans) VALUES (1, 1, '<div class="q"><p>次の勘定科目のうち、負債に属するものはどれか。</p><p>解答：<select name="answer"><option value="">選んでください</option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option></select></p></div>',
  '買掛金', '売掛金', '備品', '受取利息', NULL, NULL, '買掛金');
INSERT INTO select_q (q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans) VALUES (1, 2, '<div class="q"><p>すべての取引を借方と貸方に同じ金額で記入するため、総勘定元帳の借方合計と貸方合計は必ず一致する。この原理を何というか。</p><p>解答：<select name="answer"><option value="">選んでください</option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option></select></p></div>',
  '貸借平均の原理', '費用収益対応の原則', '継続性の原則', '保守主義の原則', NULL, NULL, '貸借平均の原理');
INSERT INTO select_q (q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans) VALUES (1, 3, '<div class="q"><p>次のうち、簿記上の取引にあたらないものはどれか。</p><p>解答：<select name="answer"><option value="">選んでください</option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option></select></p></div>',
  '店舗を借りる契約を結んだ', '火災で商品¥50,000が焼失した', '現金¥10,000が盗まれた', '備品を購入し、代金は翌月に支払うこととした', NULL, NULL, '店舗を借りる契約を結んだ');
INSERT INTO select_q (q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans) VALUES (1, 4, '<div class="q"><p>期首の資本が¥500,000、期末の資産が¥900,000、期末の負債が¥320,000であるとき、当期純利益はいくらか。なお、期中に資本の追加元入れと引出しはなかった。</p><p>解答：<select name="answer"><option value="">選んでください</option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option></select></p></div>',
  '¥80,000', '¥580,000', '¥400,000', '¥180,000', NULL, NULL, '¥80,000');

-- Page 2: journal entries, six accounts to choose from each.
INSERT INTO select_q (q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans) VALUES (3, 1, '<div class="q"><p>商品¥80,000を仕入れ、代金は掛けとした。</p><table><tr><th>借方科目</th><th>金額</th><th>貸方科目</th><th>金額</th></tr><tr><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td></tr><tr><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td></tr></table></div>',
  '現金', '当座預金', '商品', '売掛金', '買掛金', '商品売買益', '商品,80000,買掛金,80000');
INSERT INTO select_q (q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans) VALUES (3, 2, '<div class="q"><p>商品（原価¥60,000）を¥90,000で売り渡し、代金のうち¥30,000は現金で受け取り、残額は掛けとした。</p><table><tr><th>借方科目</th><th>金額</th><th>貸方科目</th><th>金額</th></tr><tr><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td></tr><tr><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td></tr></table></div>',
  '現金', '当座預金', '売掛金', '商品', '買掛金', '商品売買益', '現金,30000,商品,60000,売掛金,60000,商品売買益,30000');
INSERT INTO select_q (q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans) VALUES (3, 3, '<div class="q"><p>店舗で使用する備品¥150,000を購入し、代金は月末に支払うこととした。</p><table><tr><th>借方科目</th><th>金額</th><th>貸方科目</th><th>金額</th></tr><tr><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td></tr><tr><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td></tr></table></div>',
  '備品', '未払金', '買掛金', '現金', '消耗品費', '未収金', '備品,150000,未払金,150000');
INSERT INTO select_q (q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans) VALUES (3, 4, '<div class="q"><p>従業員に給料¥250,000を支払うにあたり、所得税の源泉徴収額¥20,000を差し引き、残額を現金で支払った。</p><table><tr><th>借方科目</th><th>金額</th><th>貸方科目</th><th>金額</th></tr><tr><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td></tr><tr><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td><td><select name="answer3"><option value=""></option><option>選択肢1</option><option>選択肢2</option><option>選択肢3</option><option>選択肢4</option><option>選択肢5</option><option>選択肢6</option></select></td><td><input type="text" class="a" name="answer3"></td></tr></table></div>',
  '給料', '現金', '所得税預り金', '立替金', '未払金', '当座預金', '給料,250000,所得税預り金,20000,,,現金,230000');

-- Page 3: closing of the books of a sole trader. Model answer, field number: text
--   0: 損益, 1: 364000, 2: 給料, 3: 320000, 6: 支払地代, 7: 30000, 10: 広告宣伝費, 11: 11000
--   14: 支払利息, 15: 3000, 20: 12, 21: 31, 22: 給料, 23: 320000, 24: 12, 25: 31
--   26: 商品売買益, 27: 410000, 28: 支払地代, 29: 30000, 30: 受取利息, 31: 4000, 32: 広告宣伝費, 33: 11000
--   34: 支払利息, 35: 3000, 36: 資本金, 37: 50000, 38: 商品売買益, 39: 受取, 40: 4000, 41: 給料
--   42: 320000, 43: 支払, 44: 3000, 45: 414000, 46: 364000, 47: 利益, 48: 50000, 49: 資本金
--   50: 50000, 51: 12, 52: 31, 53: 次期繰越, 54: 500000, 55: 12, 56: 31, 57: 損益
--   58: 50000, 59: 500000, 60: 500000, 61: 78000, 63: 352000, 65: 420000, 67: 150000, 69: 250000
--   72: 290000, 74: 400000, 76: 60000, 78: 500000, 79: 1250000, 80: 1250000
--   every other field stays empty.
INSERT INTO select_q (q_set, q_g, q_doc, sel1, sel2, sel3, sel4, sel5, sel6, ans) VALUES (4, 4, '<p class="lead">東京商店（個人企業、会計期間は1月1日から12月31日まで）の決算整理後の勘定残高は、次の資料のとおりである。これにもとづいて、問1から問5に答えなさい。勘定科目・語句は漢字で、金額は半角数字でカンマを付けずに、月日は半角数字で記入すること。商品売買の記帳は分記法による。</p>
<h2>資料　決算整理後残高試算表（12月31日）</h2>
<table><tr><th>借方</th><th>勘定科目</th><th>貸方</th></tr><tr><td class="m">78,000</td><td>現金</td><td class="m"></td></tr><tr><td class="m">352,000</td><td>当座預金</td><td class="m"></td></tr><tr><td class="m">420,000</td><td>売掛金</td><td class="m"></td></tr><tr><td class="m">150,000</td><td>商品</td><td class="m"></td></tr><tr><td class="m">250,000</td><td>備品</td><td class="m"></td></tr><tr><td class="m"></td><td>買掛金</td><td class="m">290,000</td></tr><tr><td class="m"></td><td>借入金</td><td class="m">400,000</td></tr><tr><td class="m"></td><td>未払金</td><td class="m">60,000</td></tr><tr><td class="m"></td><td>資本金</td><td class="m">450,000</td></tr><tr><td class="m"></td><td>商品売買益</td><td class="m">410,000</td></tr><tr><td class="m"></td><td>受取利息</td><td class="m">4,000</td></tr><tr><td class="m">320,000</td><td>給料</td><td class="m"></td></tr><tr><td class="m">30,000</td><td>支払地代</td><td class="m"></td></tr><tr><td class="m">11,000</td><td>広告宣伝費</td><td class="m"></td></tr><tr><td class="m">3,000</td><td>支払利息</td><td class="m"></td></tr><tr><td class="m">1,614,000</td><td>合計</td><td class="m">1,614,000</td></tr></table>
<h2>問1</h2>
<p>費用の諸勘定の残高を損益勘定に振り替える仕訳を示しなさい。貸方は資料の順に記入し、使わない行は空欄のままにすること。</p>
<table><tr><th>借方科目</th><th>金額</th><th>貸方科目</th><th>金額</th></tr><tr><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td></tr></table>
<h2>問2</h2>
<p>損益勘定に12月31日の記入をしなさい。借方は資料の費用の順に記入し、最後に当期純利益の振替えを記入すること。貸方は資料の収益の順に記入すること。</p>
<table><tr><th colspan="4">借方</th><th colspan="4">貸方</th></tr><tr><th>月</th><th>日</th><th>摘要</th><th>金額</th><th>月</th><th>日</th><th>摘要</th><th>金額</th></tr><tr><td><input type="text" class="d" name="answer4"></td><td><input type="text" class="d" name="answer4"></td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td><input type="text" class="d" name="answer4"></td><td><input type="text" class="d" name="answer4"></td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td></tr><tr><td>〃</td><td>〃</td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td>〃</td><td>〃</td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td></tr><tr><td>〃</td><td>〃</td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td></td><td></td><td></td><td></td></tr><tr><td>〃</td><td>〃</td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td></td><td></td><td></td><td></td></tr><tr><td>〃</td><td>〃</td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td></td><td></td><td></td><td></td></tr></table>
<h2>問3</h2>
<p>次の文の（　）に当てはまる語句または金額を記入しなさい。</p>
<ol><li>損益勘定の貸方には、収益である（ア <input type="text" class="n" name="answer4"> ）と、利息の（イ <input type="text" class="n" name="answer4"> ）額 ¥（ウ <input type="text" class="a" name="answer4"> ）が振り替えられる。</li><li>損益勘定の借方には費用が振り替えられる。費用のうち最も大きいものは（エ <input type="text" class="n" name="answer4"> ）の ¥（オ <input type="text" class="a" name="answer4"> ）であり、利息の（カ <input type="text" class="n" name="answer4"> ）額は ¥（キ <input type="text" class="a" name="answer4"> ）である。</li><li>収益の合計 ¥（ク <input type="text" class="a" name="answer4"> ）から費用の合計 ¥（ケ <input type="text" class="a" name="answer4"> ）を差し引くと、当期純（コ <input type="text" class="n" name="answer4"> ）¥（サ <input type="text" class="a" name="answer4"> ）が求められる。</li><li>この金額は、損益勘定から（シ <input type="text" class="n" name="answer4"> ）勘定の貸方へ ¥（ス <input type="text" class="a" name="answer4"> ）として振り替えられる。</li></ol>
<h2>問4</h2>
<p>資本金勘定に決算の記入をし、締め切りなさい。</p>
<table><tr><th colspan="4">借方</th><th colspan="4">貸方</th></tr><tr><th>月</th><th>日</th><th>摘要</th><th>金額</th><th>月</th><th>日</th><th>摘要</th><th>金額</th></tr><tr><td><input type="text" class="d" name="answer4"></td><td><input type="text" class="d" name="answer4"></td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td><td>1</td><td>1</td><td>前期繰越</td><td class="m">450,000</td></tr><tr><td></td><td></td><td></td><td></td><td><input type="text" class="d" name="answer4"></td><td><input type="text" class="d" name="answer4"></td><td><input type="text" class="n" name="answer4"></td><td><input type="text" class="a" name="answer4"></td></tr><tr><td colspan="3"></td><td><input type="text" class="a" name="answer4"></td><td colspan="3"></td><td><input type="text" class="a" name="answer4"></td></tr></table>
<h2>問5</h2>
<p>締切り後の繰越試算表を完成しなさい。</p>
<table><tr><th>借方</th><th>勘定科目</th><th>貸方</th></tr><tr><td><input type="text" class="a" name="answer4"></td><td>現金</td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="a" name="answer4"></td><td>当座預金</td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="a" name="answer4"></td><td>売掛金</td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="a" name="answer4"></td><td>商品</td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="a" name="answer4"></td><td>備品</td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="a" name="answer4"></td><td>買掛金</td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="a" name="answer4"></td><td>借入金</td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="a" name="answer4"></td><td>未払金</td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="a" name="answer4"></td><td>資本金</td><td><input type="text" class="a" name="answer4"></td></tr><tr><td><input type="text" class="a" name="answer4"></td><td>合計</td><td><input type="text" class="a" name="answer4"></td></tr></table>',
  NULL, NULL, NULL, NULL, NULL, NULL, NULL);
