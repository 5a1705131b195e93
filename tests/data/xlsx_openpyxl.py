# Writes an .xlsx with openpyxl whose active sheet is the second one (reader tests).
import sys, openpyxl
wb = openpyxl.Workbook()
first = wb.active
first.title = 'Первый'
first['A1'] = 'не этот лист'
ws = wb.create_sheet('Показания')
ws['A1'] = '01'
ws['B1'] = 1500
ws['C1'] = 12.5
ws['A2'] = 'Иванов И. И.'
ws['B2'] = 0.1 + 0.2
ws['C2'] = -3
ws['A3'] = True
ws['B3'] = 1e20
ws['C3'] = 1
ws['C3'].number_format = 'DD.MM.YYYY'
ws['D5'] = 'угол'
ws['A7'] = 0.000125
wb.active = 1
wb.save(sys.argv[1])
